# cmake -DIN=file -DOUT=file [-DNOBOM=1] -P WindowsText.cmake
# Copies a UTF-8 text with LF line ends as Windows' Notepad reads it best:
# CR LF line ends and, unless NOBOM is set, a UTF-8 byte-order mark.
file(READ ${IN} text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
if(NOT NOBOM)
  string(ASCII 239 187 191 bom)
  set(text "${bom}${text}")
endif()
file(WRITE ${OUT} "${text}")
