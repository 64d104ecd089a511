# Writes the uninstaller's list for dist/windows/installer.nsi: a Delete for every file under
# STAGE, then an RMDir for every folder, deepest first, each of which goes only if it is empty.
#
#   cmake -DSTAGE=<folder> -DOUT=<file.nsh> -P InstallerFiles.cmake

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${STAGE}" "${STAGE}/*")
file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE "${STAGE}" "${STAGE}/*")
if(NOT files)
    message(FATAL_ERROR "Nothing staged in ${STAGE}")
endif()
set(folders "")
foreach(entry IN LISTS entries)
    if(IS_DIRECTORY "${STAGE}/${entry}")
        list(APPEND folders "${entry}")
    endif()
endforeach()
list(SORT files)
# Reverse order puts a folder's subfolders before it.
list(SORT folders)
list(REVERSE folders)

set(lines "")
# NSIS reads "$" as the start of a variable: a file name's own is doubled.
foreach(path IN LISTS files)
    string(REPLACE "$" "$$" path "${path}")
    string(REPLACE "/" "\\" path "${path}")
    string(APPEND lines "Delete \"$INSTDIR\\${path}\"\n")
endforeach()
foreach(path IN LISTS folders)
    string(REPLACE "$" "$$" path "${path}")
    string(REPLACE "/" "\\" path "${path}")
    string(APPEND lines "RMDir \"$INSTDIR\\${path}\"\n")
endforeach()
file(WRITE "${OUT}" "${lines}")
