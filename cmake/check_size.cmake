# cmake -DFILE=... -DLIMIT=... -P check_size.cmake: fails unless FILE is smaller than LIMIT bytes.
file(SIZE ${FILE} size)
if(NOT size LESS LIMIT)
  message(FATAL_ERROR "${FILE} is ${size} bytes; it must stay under ${LIMIT}")
endif()
message(STATUS "${FILE}: ${size} bytes, under ${LIMIT}")
