# Shortcut files as the import reads them: Windows links through liblnk, and
# .desktop entries through GLib's key-file parser and shell quoting. The .lnk
# corpus was built with tests/unit/lnk_fixture.h (ANSI and Unicode links, local
# and network targets, with and without arguments and icon locations).
ludexa_fuzzer(shortcut_lnk SOURCES platform/linux/shortcuts.cpp PKG liblnk glib-2.0)
ludexa_fuzzer(shortcut_desktop SOURCES platform/linux/shortcuts.cpp PKG liblnk glib-2.0)
