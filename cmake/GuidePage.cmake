# The guide's HTML page: the Markdown turned into HTML by cmark and put into
# the page of docs/guide/page.html.in (title, character set, stylesheet).
#   cmake -DCMARK=cmark -DMARKDOWN=guide.md -DPAGE=page.html.in -DOUTPUT=index.html -P GuidePage.cmake
foreach(variable CMARK MARKDOWN PAGE OUTPUT)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "GuidePage.cmake needs -D${variable}")
  endif()
endforeach()

execute_process(COMMAND ${CMARK} --to html --validate-utf8 ${MARKDOWN}
                OUTPUT_VARIABLE body RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmark could not read ${MARKDOWN}: ${status}")
endif()
# Every section and step heading gets an anchor of its words, so that the
# Contents can link to it: "The main window" is #the-main-window.
string(REGEX MATCHALL "<h[23]>[^<]*</h[23]>" headings "${body}")
foreach(heading IN LISTS headings)
  string(REGEX REPLACE "^<h([23])>([^<]*)</h[23]>$" "\\1" level "${heading}")
  string(REGEX REPLACE "^<h[23]>([^<]*)</h[23]>$" "\\1" words "${heading}")
  string(TOLOWER "${words}" anchor)
  string(REGEX REPLACE "&[a-z0-9#]+;" "" anchor "${anchor}")
  string(REGEX REPLACE "[^a-z0-9]+" "-" anchor "${anchor}")
  string(REGEX REPLACE "^-|-$" "" anchor "${anchor}")
  string(REPLACE "${heading}" "<h${level} id=\"${anchor}\">${words}</h${level}>" body "${body}")
endforeach()
file(READ ${PAGE} page)
string(REPLACE "@GUIDE@" "${body}" page "${page}")
# Written whole or not at all: a browser open on the page never sees half of it.
file(WRITE ${OUTPUT}.new "${page}")
file(RENAME ${OUTPUT}.new ${OUTPUT})
