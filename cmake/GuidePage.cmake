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
file(READ ${PAGE} page)
string(REPLACE "@GUIDE@" "${body}" page "${page}")
# Written whole or not at all: a browser open on the page never sees half of it.
file(WRITE ${OUTPUT}.new "${page}")
file(RENAME ${OUTPUT}.new ${OUTPUT})
