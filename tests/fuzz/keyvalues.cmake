# Valve's KeyValues text (libraryfolders.vdf, appmanifest_*.acf) as the store
# import reads it. The corpus holds both library-list layouts, a manifest, and
# the format's corners: escapes, comments, conditions, bare words, a BOM.
ludexa_fuzzer(keyvalues SOURCES library/keyvalues.cpp)
