# Lays out the folder that the Windows packages hold, and the uninstaller's
# list of what it holds:
#   cmake -DSTAGE=<folder> -DPROGRAM=<exe> -DRULEGEN=<exe> -DDATA_DIR=<data>
#         -DREADME=<README.txt> -DRULES=<default.rules> -DLICENSE=<LICENSE> -DLICENCES=<folder>
#         -DMODELS=<model files, ;-separated>
#         -DUNINSTALL_LIST=<file> -P stage.cmake
include(${CMAKE_CURRENT_LIST_DIR}/../default_data.cmake)
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE}/licences)
file(COPY ${PROGRAM} ${RULEGEN} ${README} ${RULES} DESTINATION ${STAGE})
configure_file(${LICENSE} ${STAGE}/LICENSE.txt COPYONLY)
file(COPY ${MODELS} DESTINATION ${STAGE}/models)
copy_default_data(${DATA_DIR} ${STAGE})
file(GLOB licences ${LICENCES}/*)
file(COPY ${licences} DESTINATION ${STAGE}/licences)

# Deletes for the uninstaller: every file, then the folders, deepest first.
file(GLOB_RECURSE files RELATIVE ${STAGE} ${STAGE}/*)
file(GLOB_RECURSE folders LIST_DIRECTORIES true RELATIVE ${STAGE} ${STAGE}/*)
list(REMOVE_ITEM folders ${files})
list(SORT folders)
list(REVERSE folders)
set(lines "")
foreach(file IN LISTS files)
  string(REPLACE "/" "\\" file "${file}")
  string(APPEND lines "Delete \"$INSTDIR\\${file}\"\n")
endforeach()
foreach(folder IN LISTS folders)
  string(REPLACE "/" "\\" folder "${folder}")
  string(APPEND lines "RMDir \"$INSTDIR\\${folder}\"\n")
endforeach()
file(WRITE ${UNINSTALL_LIST} "${lines}")
