# Still pictures as the picture area and the background meet them: the header
# check, then stb_image, libwebp or libavif. The corpus holds small real
# pictures of each format and headers claiming far more than the bound.
ludexa_fuzzer(picture_header
  SOURCES media/picture_decode.cpp media/jpeg_tables.cpp platform/linux/image_codecs.cpp platform/linux/files.cpp
  PKG libwebp libwebpdemux libavif)
