# Icon blobs as the icon cache meets them: the header check, then SFML's decoder.
# The corpus holds small real icons and a header declaring a 16000 x 16000 canvas.
ludexa_fuzzer(icon_blob SOURCES library/icon_header.cpp media/jpeg_tables.cpp LIBS sfml-graphics sfml-system)
