# Gives a manual page made by help2man German headings: the "Aufruf:" lines
# of --help become the synopsis, what follows them the description.
BEGIN { state = 0 }
/^\.SH NAME$/ { print ".SH BEZEICHNUNG"; next }
state == 0 && /^\.SH DESCRIPTION$/ { print ".SH \"ÜBERSICHT\""; state = 1; next }
state == 1 && /^\.SS "Aufruf:"$/ { next }
state == 1 && /^Aufruf: / { sub(/^Aufruf: /, ""); print; next }
state == 1 && /^\.PP$/ { print ".SH BESCHREIBUNG"; state = 2; next }
{ print }
