# Copies the default data into a folder: the list data/ts, the scale map
# data/scales and the textures the list names (the build also draws them in
# the other formats, which the packages leave out), at the paths the list
# gives, relative to the folder.
#   include(default_data.cmake) ; copy_default_data(<data folder> <destination>)
function(copy_default_data data_dir destination)
  file(COPY ${data_dir}/ts ${data_dir}/scales DESTINATION ${destination}/data)
  file(STRINGS ${data_dir}/ts entries)
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
    file(COPY ${data_dir}/../${path} DESTINATION ${destination}/${folder})
  endforeach()
endfunction()
