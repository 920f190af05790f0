# Fails when the English translation is not complete and current: lupdate run
# on the sources would change translations/pcorka_en.ts (a new text, a text
# gone), or an entry is left unfinished or vanished.
# -D LUPDATE=<lupdate> -D TS=<the .ts> -D WORK=<scratch folder> -D ARGS=<lupdate arguments>
file(MAKE_DIRECTORY ${WORK})
get_filename_component(name ${TS} NAME)
set(copy ${WORK}/${name})
configure_file(${TS} ${copy} COPYONLY)
execute_process(COMMAND ${LUPDATE} ${ARGS} -ts ${copy} RESULT_VARIABLE rc OUTPUT_QUIET
  ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "lupdate failed: ${err}")
endif()
file(READ ${TS} kept)
file(READ ${copy} fresh)
if(NOT kept STREQUAL fresh)
  message(FATAL_ERROR "${name} is not up to date with the sources: run "
    "`cmake --build <build> --target update_translations` and translate the new entries.")
endif()
string(REGEX MATCHALL "type=\"(unfinished|vanished|obsolete)\"" open "${kept}")
list(LENGTH open count)
if(count GREATER 0)
  message(FATAL_ERROR "${name} has ${count} entries unfinished, vanished or obsolete.")
endif()
