/* The smallest Windows module with an entry point, to carry the test property list
   in a real PE32 file. */
__declspec(dllexport) int PluginMain(const char* caller, const char* selector, void* message) {
    (void)caller;
    (void)selector;
    (void)message;
    return 0;
}
