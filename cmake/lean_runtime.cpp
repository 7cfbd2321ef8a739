// Linked into each of the four Windows programs in place of the parts of
// the C++ runtime that exist only to raise and report exceptions.
//
// The programs are built without exceptions and never catch one: any
// exception would end the process through std::terminate anyway. The
// static runtime, however, brings the whole exception machinery (unwinder,
// demangler, a printf for the terminate message) along as soon as a single
// std::string member that can throw is linked. Defining here what those
// members call makes every such failure end the process at once instead,
// which is what an uncaught exception does in a GUI program, and keeps
// each .exe at a fraction of the size.
#include <cstdlib>
#include <new>
#include <string>

// Instantiated here (the shell uses both), without exceptions, so that the runtime's own
// instantiation (compiled with exception handling) is not linked.
template class std::basic_string<char>;
template class std::basic_string<wchar_t>;

void* operator new(std::size_t size) {
  void* p = std::malloc(size != 0 ? size : 1);
  if (p == nullptr) std::abort();
  return p;
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

// What the standard library calls to throw; each would be uncaught.
namespace std {
[[noreturn]] void __throw_bad_alloc() {
  abort();
}
[[noreturn]] void __throw_bad_array_new_length() {
  abort();
}
[[noreturn]] void __throw_length_error(const char*) {
  abort();
}
[[noreturn]] void __throw_logic_error(const char*) {
  abort();
}
[[noreturn]] void __throw_out_of_range(const char*) {
  abort();
}
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) {
  abort();
}
[[noreturn]] void __throw_invalid_argument(const char*) {
  abort();
}
[[noreturn]] void __throw_bad_function_call() {
  abort();
}
}  // namespace std

// The default terminate handler prints the exception's demangled name to
// stderr, which a GUI program does not have.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
  std::abort();
}
}  // namespace __gnu_cxx
