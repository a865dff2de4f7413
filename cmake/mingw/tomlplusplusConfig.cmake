include(${CMAKE_CURRENT_LIST_DIR}/HostHeaders.cmake)
linksmith_host_headers(tomlplusplus::tomlplusplus toml++)
# The Linux package is a compiled library; here the parser is compiled from its headers.
set_property(TARGET tomlplusplus::tomlplusplus PROPERTY INTERFACE_COMPILE_DEFINITIONS TOML_HEADER_ONLY=1)
set(tomlplusplus_FOUND TRUE)
