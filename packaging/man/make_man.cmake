# Writes a gzipped man page from a program's --help with help2man, so that the page lists the
# options the program really has. Run as a script:
#   cmake -DHELP2MAN=... -DGZIP=... -DPROGRAM=bin/dtu-config -DNAME=dtu-config -DVERSION=1.9.2
#         -DINCLUDE=dtu-config.h2m [-DSUBCOMMANDS=read;show] -DOUT=dtu-config.1.gz -P make_man.cmake
# Each of SUBCOMMANDS adds its own --help to a COMMANDS section.

get_filename_component(work "${OUT}" DIRECTORY)

if(SUBCOMMANDS)
  set(section "[COMMANDS]\n")
  foreach(command IN LISTS SUBCOMMANDS)
    execute_process(COMMAND "${PROGRAM}" ${command} --help OUTPUT_VARIABLE help
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "${PROGRAM} ${command} --help failed: ${status}")
    endif()
    # The help as it is printed: roff escapes for backslashes, and lines that start with a
    # control character are not taken for requests.
    string(REPLACE "\\" "\\e" help "${help}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
    string(REPLACE "-" "\\-" help "${help}")
    string(APPEND section ".SS \"${NAME} ${command}\"\n.nf\n${help}.fi\n")
  endforeach()
  file(WRITE "${work}/${NAME}.commands.h2m" "${section}")
  # First, so that the commands follow the options.
  set(include_files --include "${work}/${NAME}.commands.h2m")
endif()
list(APPEND include_files --include "${INCLUDE}")

# help2man wants "Usage:" and an "Options:" heading before the options; a help text that has
# neither ("usage: dtu-sim [options]" and the options at once) gets them through a wrapper of the
# program's name.
set(program "${PROGRAM}")
execute_process(COMMAND "${PROGRAM}" --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help failed: ${status}")
endif()
if(NOT help MATCHES "(^|\n)Usage:" OR NOT help MATCHES "\nOptions:")
  set(program "${work}/help/${NAME}")
  file(WRITE "${program}"
       "#!/bin/sh\n\"${PROGRAM}\" \"$@\" | awk 'NR == 1 { sub(/^usage:/, \"Usage:\") }\n"
       "  /^Options:/ { seen = 1 }\n"
       "  /^  -/ && !seen { print \"\"; print \"Options:\"; seen = 1 }\n"
       "  { print }'\n")
  file(CHMOD "${program}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
       GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endif()

execute_process(
  COMMAND "${HELP2MAN}" --no-info --no-discard-stderr --version-string=${VERSION}
          --section=1 ${include_files} --output=${work}/${NAME}.1 "${program}"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "help2man failed for ${PROGRAM}: ${status}")
endif()
execute_process(COMMAND "${GZIP}" -9nf "${work}/${NAME}.1" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip failed for ${NAME}.1: ${status}")
endif()
