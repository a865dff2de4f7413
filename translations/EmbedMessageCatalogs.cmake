# cmake -DOUTPUT=file.cpp -DCATALOGS="a.tsv;b.tsv" -P EmbedMessageCatalogs.cmake
# Each file goes in byte for byte, as an array: no text of a translation can upset the compiler.
set(arrays "")
set(entries "")
foreach(file ${CATALOGS})
  get_filename_component(name ${file} NAME_WE)
  string(REGEX REPLACE "^messages_" "" language ${name})
  string(MAKE_C_IDENTIFIER ${language} id)
  file(READ ${file} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  string(APPEND arrays "const char kCatalog_${id}[] = {\n    ${bytes}'\\0'};\n")
  string(APPEND entries "        {\"${language}\", std::string(kCatalog_${id}, sizeof kCatalog_${id} - 1)},\n")
endforeach()
file(WRITE ${OUTPUT}.tmp "#include \"model/MessageCatalogs.h\"\n\nnamespace {\n${arrays}}  // namespace\n\n"
     "const std::vector<EmbeddedMessageCatalog>& EmbeddedMessageCatalogs() {\n"
     "    static const std::vector<EmbeddedMessageCatalog> kCatalogs = {\n${entries}    };\n"
     "    return kCatalogs;\n}\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
