# zentrova_add_library(Name SOURCES a.cpp ... LINKS Lib ...)
# One shared library per deliverable.
function(zentrova_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
    add_library(${name} SHARED ${ARG_SOURCES})
    target_link_libraries(${name} PUBLIC ${ARG_LINKS})
endfunction()

# zentrova_add_gtest(Name SOURCES a.cpp ... LINKS Lib ...)
# A GoogleTest executable registered with CTest; tests run in the binary's folder.
function(zentrova_add_gtest name)
    if(NOT ZENTROVA_BUILD_TESTS)
        return()
    endif()
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LINKS} GTest::gtest GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE
        ZENTROVA_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        ZENTROVA_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
        WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()
