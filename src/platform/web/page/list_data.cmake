# Writes DATA_DIR/files.txt: the name of every data file, one a line, which
# the page fetches before a show.
file(GLOB names RELATIVE ${DATA_DIR} ${DATA_DIR}/*)
list(REMOVE_ITEM names files.txt .generated)
list(SORT names)
string(REPLACE ";" "\n" text "${names}")
file(WRITE ${DATA_DIR}/files.txt "${text}\n")
