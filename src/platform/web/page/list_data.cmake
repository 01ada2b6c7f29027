# Writes DATA_DIR/files.txt: the name of every data file, one a line, which
# the page fetches before a show.
file(GLOB names RELATIVE ${DATA_DIR} ${DATA_DIR}/*)
# The chapter file (9.7 MB, for seeking) is left to the page's seek to
# fetch when it needs it, not before every show.
list(REMOVE_ITEM names files.txt .generated chapters.dat chapters.dat.part)
list(SORT names)
string(REPLACE ";" "\n" text "${names}")
file(WRITE ${DATA_DIR}/files.txt "${text}\n")
