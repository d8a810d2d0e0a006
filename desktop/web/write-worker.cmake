# Writes the site's service worker once every file it keeps exists: each file with the
# SHA-256 of its bytes, and a digest of them all that names its cache (with, in the browser,
# its scope), so that a change to any file changes the worker's own bytes, which is what
# makes a browser install it.
#   cmake -DSITE=<folder> -DFILES=<name,name,...> -P write-worker.cmake
# The web tests run it again on a changed copy of the site, as the build does.
if(NOT SITE OR NOT FILES)
    message(FATAL_ERROR "Usage: cmake -DSITE=<folder> -DFILES=<name,name,...> -P write-worker.cmake")
endif()

string(REPLACE "," ";" FILES "${FILES}")
set(entries "")
set(contents "")
foreach(name IN LISTS FILES)
    file(SHA256 "${SITE}/${name}" revision)
    string(APPEND contents "${name} ${revision}\n")
    string(APPEND entries "\n  ['${name}', '${revision}'],")
    if(name STREQUAL "index.html") # the page is also asked for by its folder's address
        string(APPEND entries "\n  ['./', '${revision}'],")
    endif()
endforeach()
string(SHA256 digest "${contents}")
string(SUBSTRING "${digest}" 0 16 digest)

set(QUINBRAY_SITE_DIGEST "${digest}")
set(QUINBRAY_SITE_FILES "${entries}\n")
file(READ "${CMAKE_CURRENT_LIST_DIR}/sw.js.in" worker)
string(CONFIGURE "${worker}" worker @ONLY)
file(WRITE "${SITE}/sw.js" "${worker}")
