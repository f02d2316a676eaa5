# The same page from the shell: the cost of the server and of starting any CGI program.
printf 'Content-Type: text/plain\r\n\r\nHello, %s\n' "${QUERY_STRING#name=}"
