# The frame-by-frame GIF stream through its crash guard.
ludexa_fuzzer(gif_stream SOURCES media/gif/gif_stream.cpp platform/linux/fault_guard.cpp)
