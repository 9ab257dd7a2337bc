// What ends a program when a C++ exception is not caught. The runtime's default prints the exception's
// demangled type name to standard error, which these windowed programs do not have, and brings its
// demangler (some 77 KB) into every program; ending at once says as much.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
} // namespace __gnu_cxx
