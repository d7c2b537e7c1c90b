# Pictures for the book of 1,234 pages: a showable page (a copy of PICTURE) and a page of
# 12,345 bytes that is neither JPEG nor BMP, both in the folder OUT.
# Usage: cmake -DPICTURE=... -DOUT=... -P make_list_book_parts.cmake
file(MAKE_DIRECTORY ${OUT})
configure_file(${PICTURE} ${OUT}/a.jpg COPYONLY)
string(REPEAT "x" 12345 filler)
file(WRITE ${OUT}/z.bin "${filler}")
