# Compiles a text file into the program as a char array named VAR, so data tables stay plain
# files in the source tree while the program reads nothing at run time.
function(lumivo_embed_text OUT_VAR SYMBOL FILE)
  get_filename_component(name ${FILE} NAME_WE)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/embedded_${SYMBOL}.cpp)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DIN=${FILE} -DOUT=${out} -DSYMBOL=${SYMBOL}
            -P ${PROJECT_SOURCE_DIR}/cmake/EmbedTextScript.cmake
    DEPENDS ${FILE} ${PROJECT_SOURCE_DIR}/cmake/EmbedTextScript.cmake
    COMMENT "Embedding ${FILE}")
  set(${OUT_VAR} ${out} PARENT_SCOPE)
endfunction()
