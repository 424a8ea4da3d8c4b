// Under LeakSanitizer: fontconfig, which Qt loads for its fonts, keeps a small cache for the life
// of the process; that is not a leak of ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
