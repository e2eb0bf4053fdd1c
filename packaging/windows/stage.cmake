# Lays out the folder that the Windows packages hold, and the uninstaller's
# list of what it holds:
#   cmake -DSTAGE=<folder> -DPROGRAM=<exe> -DRULEGEN=<exe> -DDATA_DIR=<data>
#         -DREADME=<README.txt> -DRULES=<default.rules> -DLICENSE=<LICENSE> -DLICENCES=<folder>
#         -DMODELS=<model files, ;-separated>
#         -DUNINSTALL_LIST=<file> -P stage.cmake
# Of the default data it takes the list and the textures it names, not the
# other formats the build also draws.
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE}/data ${STAGE}/licences)
file(COPY ${PROGRAM} ${RULEGEN} ${README} ${RULES} DESTINATION ${STAGE})
configure_file(${LICENSE} ${STAGE}/LICENSE.txt COPYONLY)
file(COPY ${MODELS} DESTINATION ${STAGE}/models)
file(COPY ${DATA_DIR}/ts DESTINATION ${STAGE}/data)
file(STRINGS ${DATA_DIR}/ts entries)
list(POP_FRONT entries)  # the count
foreach(entry IN LISTS entries)
  string(REGEX REPLACE "[ \t]+" ";" words "${entry}")
  list(LENGTH words count)
  if(count LESS 4)
    continue()
  endif()
  list(GET words 3 path)
  string(REPLACE "\\" "/" path "${path}")
  get_filename_component(folder ${path} DIRECTORY)
  file(COPY ${DATA_DIR}/../${path} DESTINATION ${STAGE}/${folder})
endforeach()
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
