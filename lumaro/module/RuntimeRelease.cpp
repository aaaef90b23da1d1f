// The C++ runtime linked into the module keeps an emergency exception pool
// that it allocates when the module is loaded and never frees; the host
// unloads and reloads modules, so give it back when the code goes.
namespace __gnu_cxx {
void __freeres() noexcept;
}

__attribute__((destructor)) static void ReleaseRuntimeReserves() { __gnu_cxx::__freeres(); }
