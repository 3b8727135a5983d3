# zentrova_add_library(Name SOURCES a.cpp ... LINKS Lib ...)
# One shared library per deliverable.
function(zentrova_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
    add_library(${name} SHARED ${ARG_SOURCES})
    target_link_libraries(${name} PUBLIC ${ARG_LINKS})
endfunction()

# zentrova_use_qt(Target): moc for the target, and literals still in code page 932.
# Qt's headers pull in <chrono>, whose C++20 duration output holds a micro sign that code page
# 932 lacks; //TRANSLIT lets that one literal through (as a Greek mu) instead of failing the
# build. Every character of ours converts exactly as before.
# moc reads the headers it is given without the compiler's predefined macros: with them it
# opens the C++20 parts of the standard headers (<concepts>, pulled in by CString.h), which it
# cannot parse.
function(zentrova_use_qt target)
    set_target_properties(${target} PROPERTIES AUTOMOC ON AUTOMOC_COMPILER_PREDEFINES OFF)
    target_compile_options(${target} PRIVATE -fexec-charset=CP932//TRANSLIT)
endfunction()

# zentrova_add_gtest(Name [QT] [XVFB] [SCREEN WxHxD] SOURCES a.cpp ... LINKS Lib ...)
# A GoogleTest executable registered with CTest; tests run in the binary's folder. With QT the
# executable links QtTest and its tests run headless (offscreen platform). With XVFB as well,
# the whole executable is one test that runs on a virtual X server (xvfb-run), in real windows,
# on a screen of 1280x1024x24 or the one SCREEN gives.
function(zentrova_add_gtest name)
    if(NOT ZENTROVA_BUILD_TESTS)
        return()
    endif()
    cmake_parse_arguments(ARG "QT;XVFB" "SCREEN" "SOURCES;LINKS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LINKS} ZentrovaTestSupport GTest::gtest GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE
        ZENTROVA_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        ZENTROVA_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
        ZENTROVA_ARTEFACT_DIR="${CMAKE_CURRENT_BINARY_DIR}/artefacts")
    set(properties)
    if(ARG_QT)
        zentrova_use_qt(${name})
        target_link_libraries(${name} PRIVATE Qt6::Widgets Qt6::Test)
        set(properties PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    endif()
    if(ARG_XVFB)
        if(NOT ARG_SCREEN)
            set(ARG_SCREEN 1280x1024x24)
        endif()
        add_test(NAME ${name} COMMAND xvfb-run -a -s "-screen 0 ${ARG_SCREEN}" $<TARGET_FILE:${name}>
                 WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
        # One at a time: two "xvfb-run -a" started together can race for the same server number.
        set_tests_properties(${name} PROPERTIES ENVIRONMENT
            "QT_QPA_PLATFORM=xcb;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/cmake/lsan-x11.supp"
            RESOURCE_LOCK xvfb)
        return()
    endif()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
        WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} ${properties})
endfunction()
