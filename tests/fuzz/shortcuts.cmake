# Shortcut files as the import reads them: Windows links through liblnk, and
# .desktop entries through GLib's key-file parser and shell quoting. The .lnk
# corpus (tests/data/corpus/shortcut_lnk, also the unit tests' links) holds ANSI and Unicode links, local
# and network targets, with and without arguments, icon locations and extra blocks.
ludexa_fuzzer(shortcut_lnk SOURCES platform/linux/shortcuts.cpp PKG liblnk glib-2.0)
ludexa_fuzzer(shortcut_desktop SOURCES platform/linux/shortcuts.cpp PKG liblnk glib-2.0)
