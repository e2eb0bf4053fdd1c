# Gathers what the data package holds: the default data at data/, the text
# font at fonts/.
#   cmake -DPACKAGE=<folder> -DDATA_DIR=<data> -DFONT=<font file> -P stage.cmake
include(${CMAKE_CURRENT_LIST_DIR}/../default_data.cmake)
file(REMOVE_RECURSE ${PACKAGE})
file(MAKE_DIRECTORY ${PACKAGE}/fonts)
copy_default_data(${DATA_DIR} ${PACKAGE})
file(COPY ${FONT} DESTINATION ${PACKAGE}/fonts)
