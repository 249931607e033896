# cmake -DMSGCAT=... -DMSGATTRIB=... -DLANG=ru -DPO_FILES="a.po;b.po" -P CheckCatalogues.cmake
# The .po files of one language are joined keeping the first translation of each text, so a
# text translated differently in two files would show one of them only. Fails the build when
# that happens, or when a text has no translation.
execute_process(COMMAND ${MSGCAT} --more-than=1 --no-wrap ${PO_FILES}
                OUTPUT_VARIABLE shared RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "msgcat failed on the ${LANG} catalogues")
endif()
string(REGEX MATCHALL "msgid [^\n]*(\n\"[^\n]*)*\nmsgstr \"\"\n\"#-#-#-#-#" clashes "${shared}")
if(clashes)
  string(REGEX REPLACE "\nmsgstr \"\"\n\"#-#-#-#-#" "" clashes "${clashes}")
  list(JOIN clashes "\n  " shown)
  message(FATAL_ERROR "Texts translated differently in the ${LANG} catalogues:\n  ${shown}")
endif()
if(LANG STREQUAL "en")
  return()  # English texts stand for themselves
endif()
execute_process(COMMAND ${MSGCAT} --use-first --no-wrap ${PO_FILES}
                COMMAND ${MSGATTRIB} --untranslated --no-wrap
                OUTPUT_VARIABLE untranslated RESULT_VARIABLE rc)
string(REGEX MATCHALL "\nmsgid [^\n]*(\n\"[^\n]*)*" missing "${untranslated}")
if(missing)
  list(JOIN missing "" shown)
  message(FATAL_ERROR "Texts without a translation in the ${LANG} catalogues:${shown}")
endif()
