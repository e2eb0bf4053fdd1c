# Copies every licence text of a folder into the site (none where no folder
# is given).
#   cmake -DFROM=<folder> -DTO=<folder> -P copy_licences.cmake
if(FROM)
  file(GLOB licences ${FROM}/*)
  file(COPY ${licences} DESTINATION ${TO})
endif()
