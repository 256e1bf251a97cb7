# Writes the built-in settings text of SOURCE (the string literals that
# make up defaultSettingsText) to OUTPUT as a settings file, one element a
# line with Windows line ends, which the settings reader takes as the same
# settings. Run with -DSOURCE=... -DOUTPUT=...
file(READ ${SOURCE} source)
string(REGEX MATCH "defaultSettingsText\\[\\] =([^;]*);" definition "${source}")
if(NOT definition)
  message(FATAL_ERROR "no defaultSettingsText in ${SOURCE}")
endif()
string(REGEX MATCHALL "\"[^\"\n]*\"" literals "${CMAKE_MATCH_1}")
set(text "")
foreach(literal ${literals})
  string(REGEX REPLACE "^\"(.*)\"$" "\\1" piece "${literal}")
  string(APPEND text "${piece}")
endforeach()
# An escape would need decoding that this script does not do.
if(text STREQUAL "" OR text MATCHES "\\\\")
  message(FATAL_ERROR "cannot read defaultSettingsText in ${SOURCE}")
endif()
string(REPLACE "><" ">\r\n<" text "${text}")
file(WRITE ${OUTPUT} "${text}\r\n")
