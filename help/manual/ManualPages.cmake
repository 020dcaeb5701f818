# The manual's pages, shared by the help build and the browser, which serves them too.
set(PIXDOCK_MANUAL_DIR "${CMAKE_CURRENT_LIST_DIR}")
set(PIXDOCK_MANUAL_FILES
    manual.css contents.html viewing.html catalogue.html searching.html thumbnails.html
    printing.html browsing.html keyboard.html)
# pixdock.qhp lists the same files for the help build.
