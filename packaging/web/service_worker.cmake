# Writes the site's service worker from its template: the list of every file
# of the site (the page's address ./ among them) and the cache's name, the
# version and a hash of the files, so that each build with other files has a
# worker of its own.
#   cmake -DSITE=<site folder> -DVERSION=<version> -DTEMPLATE=<worker.js.in> -P service_worker.cmake
file(GLOB_RECURSE names RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM names vernaskel-worker.js)
list(SORT names)
set(FILES "\"./\"")
set(digests "")
foreach(name IN LISTS names)
  file(SHA256 ${SITE}/${name} digest)
  string(APPEND digests "${name} ${digest}\n")
  string(APPEND FILES ",\n  \"${name}\"")
endforeach()
string(SHA256 hash "${digests}")
string(SUBSTRING ${hash} 0 16 hash)
set(VERSION ${VERSION}-${hash})
configure_file(${TEMPLATE} ${SITE}/vernaskel-worker.js @ONLY)
