# Run by cpack before it builds the package: a package without its man pages is refused, since
# `man dtu-config` is how its users learn the headless commands. The pages are made only when
# help2man was found at configure time (apt-get install help2man, then configure again).
file(GLOB_RECURSE pages "${CPACK_TEMPORARY_DIRECTORY}/*.1.gz")
list(FILTER pages INCLUDE REGEX "/man1/dtu-(config|sim)\\.1\\.gz$")
list(LENGTH pages count)
if(NOT count EQUAL 2)
  message(FATAL_ERROR "The package lacks its man pages (found ${count} of 2 in "
                      "${CPACK_TEMPORARY_DIRECTORY}): install help2man, configure the build "
                      "folder again (cmake -S . -B build) and build it, then run cpack.")
endif()
