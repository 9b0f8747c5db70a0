# The game as one web page, zintu.html, that plays from disk or from any static web host: the
# program compiled to WebAssembly and inlined, with the label's font embedded.
add_subdirectory(window/web)
find_program(PYTHON3 python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)

set(page_source ${PROJECT_SOURCE_DIR}/window/web/page.html)
set(page_sealer ${PROJECT_SOURCE_DIR}/window/web/sealpage.py)
set(icon ${PROJECT_SOURCE_DIR}/packaging/zintu.svg)

# The label shows only "Level:", a space and digits: those characters of Blankenburg, as WOFF2.
set(label_font_source /usr/share/fonts/truetype/blankenburg/Blankenburg_UNZ1A.ttf)
set(label_font ${CMAKE_BINARY_DIR}/label-font.woff2)
add_custom_command(OUTPUT ${label_font}
    COMMAND ${PYTHON3} -m fontTools.subset ${label_font_source} "--text=Level: 0123456789"
            --flavor=woff2 --output-file=${label_font}
    DEPENDS ${label_font_source})

# A program over the web toolkit as one self-contained page, `page`, written by sealpage.py, not
# by emscripten: its script inlined, and its wasm beside it as bytes the script compiles
# asynchronously, asking nothing of the network. With a third argument, the installable web app
# too, in that folder.
function(zintu_web_page target page)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${target}-script SUFFIX .js)
    set(outputs ${page})
    set(app_arguments)
    if(ARGC GREATER 2)
        set(app_folder ${ARGV2})
        set(app_arguments ${app_folder} ${PROJECT_SOURCE_DIR}/window/web/sw.js)
        foreach(file index.html manifest.webmanifest sw.js zintu.svg zintu-192.png zintu-512.png
                zintu-maskable-512.png)
            list(APPEND outputs ${app_folder}/${file})
        endforeach()
    endif()
    add_custom_command(OUTPUT ${outputs}
        COMMAND ${PYTHON3} ${page_sealer} ${page_source} $<TARGET_FILE:${target}>
                $<TARGET_FILE_DIR:${target}>/${target}-script.wasm ${label_font} ${icon}
                ${PROJECT_SOURCE_DIR}/window/design.h ${page} ${app_arguments}
        DEPENDS ${target} ${page_source} ${label_font} ${icon} ${page_sealer}
                ${PROJECT_SOURCE_DIR}/window/design.h ${PROJECT_SOURCE_DIR}/window/web/sw.js)
endfunction()

add_executable(zintu_page app/webmain.cpp)
target_link_libraries(zintu_page PRIVATE zintu_webwindow)
# The game reads no file. The contract suite's page keeps emscripten's file system: GoogleTest
# asks for the working directory as it starts, which newer emscripten refuses without one.
# The game's script is minified by Closure Compiler at the version emscripten 3.1.6 was made
# with, from npm (the preset names it to emcc): Debian's is years older.
target_link_options(zintu_page PRIVATE -sFILESYSTEM=0 -sSUPPORT_ERRNO=0 -sTEXTDECODER=2
    "-sASYNCIFY_ONLY=@${zintu_suspending_functions}" --closure 1
    "--closure-args=--externs=${PROJECT_SOURCE_DIR}/window/web/closure-externs.js")
set_property(TARGET zintu_page APPEND PROPERTY LINK_DEPENDS
    ${PROJECT_SOURCE_DIR}/window/web/closure-externs.js)
set_property(TARGET zintu_page APPEND PROPERTY LINK_DEPENDS ${zintu_suspending_functions})
set(page ${CMAKE_CURRENT_BINARY_DIR}/zintu.html)
set(web_app ${CMAKE_CURRENT_BINARY_DIR}/app)
zintu_web_page(zintu_page ${page} ${web_app})
