# The menu entry's and the metainfo's texts in every language of the panel,
# from one source: texts.h holds the English (one text per line, named by
# its third argument), ts/ the translations as Qt Linguist keeps them. For
# each text KEY this sets
#   STRATA_DESKTOP_KEY   desktop entry lines: KEY=English, KEY[fr]=...
#   STRATA_METAINFO_KEY  the XML body's translations, one <TAG xml:lang>
#                        line each (the caller writes the English element)
# A translation still marked unfinished is left out: that language shows the
# English, as the panel itself does.

function(strata_xml_unescape text result)
  string(REPLACE "&lt;" "<" text "${text}")
  string(REPLACE "&gt;" ">" text "${text}")
  string(REPLACE "&quot;" "\"" text "${text}")
  string(REPLACE "&apos;" "'" text "${text}")
  string(REPLACE "&amp;" "&" text "${text}")
  set(${result} "${text}" PARENT_SCOPE)
endfunction()

function(strata_xml_escape text result)
  string(REPLACE "&" "&amp;" text "${text}")
  string(REPLACE "<" "&lt;" text "${text}")
  string(REPLACE ">" "&gt;" text "${text}")
  set(${result} "${text}" PARENT_SCOPE)
endfunction()

# strata_desktop_texts(texts.h ts-folder tag-for-key...) with tag-for-key
# "Comment|summary": the metainfo element a text goes into.
function(strata_desktop_texts header ts_dir)
  file(STRINGS ${header} entries REGEX "^QT_TRANSLATE_NOOP3")
  file(GLOB ts_files ${ts_dir}/*.ts)
  list(SORT ts_files)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${header} ${ts_files})
  set(tags ${ARGN})

  foreach(entry IN LISTS entries)
    if(NOT entry MATCHES "^QT_TRANSLATE_NOOP3\\(\"DesktopEntry\", \"([^\"]+)\", \"([A-Za-z0-9]+)\"\\)$")
      message(FATAL_ERROR "${header}: cannot read '${entry}'")
    endif()
    set(english "${CMAKE_MATCH_1}")
    set(key "${CMAKE_MATCH_2}")
    strata_xml_escape("${english}" english_xml)
    # lupdate also writes quotes as entities.
    string(REPLACE "\"" "&quot;" english_ts "${english_xml}")
    string(REPLACE "'" "&apos;" english_ts "${english_ts}")
    set(tag "")
    foreach(pair IN LISTS tags)
      if(pair MATCHES "^${key}\\|(.+)$")
        set(tag "${CMAKE_MATCH_1}")
      endif()
    endforeach()
    set(indent "  ")
    if(tag STREQUAL "p")
      set(indent "    ")
    endif()
    set(desktop "${key}=${english}")
    set(metainfo "")

    foreach(ts IN LISTS ts_files)
      string(REGEX REPLACE "^.*_([a-z]+(_[A-Z]+)?)\\.ts$" "\\1" language "${ts}")
      file(READ ${ts} xml)
      # A message: <source>, <comment>, <translation>; the English is the key.
      string(FIND "${xml}" "<source>${english_ts}</source>" at)
      if(at LESS 0)
        continue()
      endif()
      string(SUBSTRING "${xml}" ${at} -1 xml)
      string(FIND "${xml}" "</message>" end)
      string(SUBSTRING "${xml}" 0 ${end} message)
      if(NOT message MATCHES "<translation>([^<]+)</translation>")
        continue()
      endif()
      strata_xml_unescape("${CMAKE_MATCH_1}" text)
      string(APPEND desktop "\n${key}[${language}]=${text}")
      if(tag)
        strata_xml_escape("${text}" text)
        # Each translation on a line of its own, indented as its English.
        string(APPEND metainfo "\n${indent}<${tag} xml:lang=\"${language}\">${text}</${tag}>")
      endif()
    endforeach()

    set(STRATA_DESKTOP_${key} "${desktop}" PARENT_SCOPE)
    set(STRATA_METAINFO_${key} "${metainfo}" PARENT_SCOPE)
    set(STRATA_ENGLISH_${key} "${english_xml}" PARENT_SCOPE)
  endforeach()
endfunction()
