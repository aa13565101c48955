# Puts the sample modules and their module library into the "Printer Commands" folder beside the
# executables. A file placed by an earlier build that is no longer a sample (renamed or removed)
# is taken away, so no stale module is offered; anything else in the folder, such as a module
# derived there, is left alone.
#   -DFILE_LIST=<file naming one source file a line> -DFOLDER=<folder> -DMANIFEST=<file>
cmake_minimum_required(VERSION 3.25)

file(STRINGS "${FILE_LIST}" sources)
set(previous "")
if(EXISTS "${MANIFEST}")
  file(STRINGS "${MANIFEST}" previous)
endif()

set(names "")
foreach(source IN LISTS sources)
  get_filename_component(name "${source}" NAME)
  list(APPEND names "${name}")
endforeach()

foreach(name IN LISTS previous)
  if(NOT name IN_LIST names)
    file(REMOVE "${FOLDER}/${name}")
  endif()
endforeach()

file(MAKE_DIRECTORY "${FOLDER}")
foreach(source IN LISTS sources)
  get_filename_component(name "${source}" NAME)
  file(COPY_FILE "${source}" "${FOLDER}/${name}" ONLY_IF_DIFFERENT)
endforeach()

list(JOIN names "\n" manifest)
file(WRITE "${MANIFEST}" "${manifest}\n")
