// Compile-time checks of the interfaces' shape: only a derived class can make
// one, copying is allowed, deleting through the interface reaches the derived
// destructor, and the vtable pointer is the only content.
#include "exchange/Dorrimet/ICoordTransformer.h"
#include "exchange/Dorrimet/IPointRegister.h"
#include "exchange/Dorrimet/IPointSupplier.h"

#include <type_traits>

namespace {

template <typename I> constexpr bool interfaceShape() {
    return std::is_abstract_v<I> && std::has_virtual_destructor_v<I> &&
           !std::is_default_constructible_v<I> && std::is_copy_assignable_v<I> &&
           sizeof(I) == sizeof(void *);
}
static_assert(interfaceShape<ICoordTransformer>());
static_assert(interfaceShape<IPointRegister>());
static_assert(interfaceShape<IPointSupplier>());

} // namespace
