# Compiles every translations/messages_LANG.tsv into the core library, so a new language is one
# more file: the table of texts is read from the program itself, never from beside it.
file(GLOB linksmith_message_catalogs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/translations/messages_*.tsv)
set(linksmith_catalog_source ${PROJECT_BINARY_DIR}/translations/MessageCatalogs.cpp)
add_custom_command(
  OUTPUT ${linksmith_catalog_source}
  COMMAND ${CMAKE_COMMAND} -DOUTPUT=${linksmith_catalog_source} "-DCATALOGS=${linksmith_message_catalogs}"
          -P ${PROJECT_SOURCE_DIR}/translations/EmbedMessageCatalogs.cmake
  DEPENDS ${linksmith_message_catalogs} ${PROJECT_SOURCE_DIR}/translations/EmbedMessageCatalogs.cmake
  COMMENT "Compiling the message translations in")
# Built here, where the rule that writes it lives; the core library takes the object.
add_library(linksmith_message_catalogs OBJECT ${linksmith_catalog_source})
target_include_directories(linksmith_message_catalogs PRIVATE ${PROJECT_SOURCE_DIR})
target_sources(linksmith_core PRIVATE $<TARGET_OBJECTS:linksmith_message_catalogs>)
