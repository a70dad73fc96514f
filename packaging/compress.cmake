# Run by CPack on the package's files before they are packed: the manual page and the changelog
# compressed with gzip -9n (no name, no time stamp: the same bytes at every build).
file(GLOB_RECURSE zrv_compress
     "${CPACK_TEMPORARY_DIRECTORY}/*/share/man/man1/zerlivan.1"
     "${CPACK_TEMPORARY_DIRECTORY}/*/share/doc/zerlivan/changelog"
     "${CPACK_TEMPORARY_DIRECTORY}/usr/share/man/man1/zerlivan.1"
     "${CPACK_TEMPORARY_DIRECTORY}/usr/share/doc/zerlivan/changelog")
list(REMOVE_DUPLICATES zrv_compress)
foreach(f ${zrv_compress})
    execute_process(COMMAND gzip -9nf "${f}" RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "gzip ${f} failed")
    endif()
endforeach()
