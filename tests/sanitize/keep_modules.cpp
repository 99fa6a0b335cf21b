// Preloaded into the desktop tests' processes in the sanitizer build: libraries stay loaded to
// the end. The desktop's libraries unload what they loaded as the program ends, and what those
// held then looks lost to LeakSanitizer, which cannot even name the library any more; kept
// loaded, their memory is theirs, and the suppressions name what they really keep.

extern "C" int dlclose(void* /*handle*/) {
  return 0;
}
