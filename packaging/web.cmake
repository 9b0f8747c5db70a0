# zintu.html packaged: a ZIP of it, the installable web app's folder beside it, the font's
# licence and a README.
set(web_zip ${CMAKE_CURRENT_BINARY_DIR}/zintu-${PROJECT_VERSION}-web.zip)
set(zip_dir ${CMAKE_CURRENT_BINARY_DIR}/web-zip)
add_custom_command(OUTPUT ${web_zip}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${zip_dir}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${zip_dir}
    COMMAND ${CMAKE_COMMAND} -E copy ${page} ${zip_dir}/zintu.html
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${web_app} ${zip_dir}/app
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/web/README.txt ${zip_dir}
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/LICENSE ${zip_dir}/LICENSE.txt
    COMMAND ${CMAKE_COMMAND} -E copy /usr/share/doc/fonts-blankenburg/copyright
            ${zip_dir}/Blankenburg-LICENSE.txt
    COMMAND ${PYTHON3} ${PROJECT_SOURCE_DIR}/packaging/web/zipfolder.py ${web_zip} ${zip_dir}
    DEPENDS ${page} ${web_app}/index.html ${PROJECT_SOURCE_DIR}/packaging/web/README.txt
            ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/packaging/web/zipfolder.py)
add_custom_target(zintu ALL DEPENDS ${page} ${web_zip})
