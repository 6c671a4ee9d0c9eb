# rfc2822_date(YYYY-MM-DD VARIABLE) sets VARIABLE to that day at noon UTC as
# mail and Debian change logs write dates: "Tue, 08 Dec 2026 12:00:00 +0000".
function(rfc2822_date date variable)
    if(NOT date MATCHES "^([0-9][0-9][0-9][0-9])-(0[1-9]|1[0-2])-(0[1-9]|[12][0-9]|3[01])$")
        message(FATAL_ERROR "A date is written YYYY-MM-DD, not '${date}'")
    endif()
    set(year ${CMAKE_MATCH_1})
    set(day_digits ${CMAKE_MATCH_3})
    # Leading zeros off, for the arithmetic.
    math(EXPR month "1${CMAKE_MATCH_2} - 100")
    math(EXPR day "1${day_digits} - 100")

    # The day of the week by Sakamoto's method, 0 for Sunday.
    set(offsets 0 3 2 5 0 3 5 1 4 6 2 4)
    math(EXPR month_index "${month} - 1")
    list(GET offsets ${month_index} offset)
    set(y ${year})
    if(month LESS 3)
        math(EXPR y "${y} - 1")
    endif()
    math(EXPR weekday "(${y} + ${y} / 4 - ${y} / 100 + ${y} / 400 + ${offset} + ${day}) % 7")

    set(weekdays Sun Mon Tue Wed Thu Fri Sat)
    set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
    list(GET weekdays ${weekday} weekday_name)
    list(GET months ${month_index} month_name)
    set(${variable} "${weekday_name}, ${day_digits} ${month_name} ${year} 12:00:00 +0000"
        PARENT_SCOPE)
endfunction()
