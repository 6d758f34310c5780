# Creates DATABASE with CLI when there is none; never touches an existing file.
if(NOT EXISTS "${DATABASE}")
    execute_process(COMMAND "${CLI}" create-db "${DATABASE}" RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "Could not create ${DATABASE}")
    endif()
    message(STATUS "Created ${DATABASE}")
endif()
