# fish completion for middletext: commands, their options, the languages of
# code --lang, and file names where a command reads a file (case files of
# test and suggest --cases included).

set -l commands extract find fetch code test suggest

# Nothing but what is listed here: file names only where a command reads a file.
complete -c middletext -f

complete -c middletext -n "not __fish_seen_subcommand_from $commands" -a extract -d 'Print the text between a left text and the next right text'
complete -c middletext -n "not __fish_seen_subcommand_from $commands" -a find -d 'Print the byte positions of a text'
complete -c middletext -n "not __fish_seen_subcommand_from $commands" -a fetch -d 'Print a web page, decoded'
complete -c middletext -n "not __fish_seen_subcommand_from $commands" -a code -d 'Print the extraction subroutine'
complete -c middletext -n "not __fish_seen_subcommand_from $commands" -a test -d 'Run the cases of case files'
complete -c middletext -n "not __fish_seen_subcommand_from $commands" -a suggest -d 'Print a left and a right text for a wanted text'

complete -c middletext -l gbk -d 'Read and write raw GB18030 bytes'
complete -c middletext -s h -l help -d 'Print the usage'
complete -c middletext -s V -l version -d 'Print the version'

complete -c middletext -n '__fish_seen_subcommand_from extract' -l left -x -d 'The left text'
complete -c middletext -n '__fish_seen_subcommand_from extract' -l right -x -d 'The right text'
complete -c middletext -n '__fish_seen_subcommand_from extract' -l all -d 'Every middle text, in order'
complete -c middletext -n '__fish_seen_subcommand_from extract' -s 0 -l null -d 'End each middle text with a zero byte'
complete -c middletext -n '__fish_seen_subcommand_from extract' -l newline -d 'A line break behind the middle text'

complete -c middletext -n '__fish_seen_subcommand_from find' -l text -x -d 'The text to find'

# What extract and find share: several sources, URLs among them.
set -l many '__fish_seen_subcommand_from extract find'
complete -c middletext -n $many -s r -l recursive -d 'Take the regular files of directories'
complete -c middletext -n $many -l sources -r -F -d 'Read more sources from a list'
complete -c middletext -n $many -l with-filename -d 'The source in front of every result'
complete -c middletext -n $many -l no-filename -d 'No source in front of the results'
complete -c middletext -n $many -l json -d 'JSON Lines, one object per result'
complete -c middletext -n $many -l count -d 'The number of results per source'
complete -c middletext -n $many -s i -l ignore-case -d 'Letters compare without regard to case'
complete -c middletext -n $many -s j -l jobs -x -d 'URLs transferred at once'
complete -c middletext -n $many -s q -l quiet -d 'Print nothing: the exit status tells'
complete -c middletext -n $many -s m -l max-count -x -d 'At most N results of each source'
complete -c middletext -n $many -s l -l files-with-matches -d 'The name of each source with a result'
complete -c middletext -n $many -l color -x -a 'auto always never' -d 'The middle text and the names in colour (--color=WHEN)'

# The bounds of transfers, for every command that reads pages.
set -l pages '__fish_seen_subcommand_from extract find fetch'
complete -c middletext -n $pages -l connect-timeout -x -d 'Give up a connection after SECONDS'
complete -c middletext -n $pages -s Y -l speed-limit -x -d 'The low-speed rule: bytes a second'
complete -c middletext -n $pages -s y -l speed-time -x -d 'The low-speed rule: for SECONDS'
complete -c middletext -n $pages -l max-filesize -x -d 'Keep at most SIZE decoded bytes of a page'
complete -c middletext -n $pages -l max-memory -x -d 'The bytes all pages in flight and waiting may hold'

# extract and find read FILEs and directories (or - for standard input).
complete -c middletext -n '__fish_seen_subcommand_from extract find' -F

complete -c middletext -n '__fish_seen_subcommand_from fetch' -l raw -d 'The bytes as received'
complete -c middletext -n '__fish_seen_subcommand_from fetch' -s o -l output -r -F -d 'The page of the URL in the same place into FILE'
complete -c middletext -n '__fish_seen_subcommand_from fetch' -s D -l dump-header -r -F -d 'The response header lines into FILE'
complete -c middletext -n '__fish_seen_subcommand_from fetch' -s w -l write-out -x -d 'FORMAT behind each page'
complete -c middletext -n '__fish_seen_subcommand_from fetch' -s f -l fail -d 'No body for an error status'

# The network options, on every command that reads pages.
set -l network '__fish_seen_subcommand_from extract find fetch'
complete -c middletext -n $network -l max-time -x -d 'Give up on a URL after SECONDS in all'
complete -c middletext -n $network -s A -l user-agent -x -d 'The User-Agent header to send'
complete -c middletext -n $network -s H -l header -x -d 'A request header to send'
complete -c middletext -n $network -s b -l cookie -x -d 'Cookies to send'
complete -c middletext -n $network -l retry -x -d 'Attempts after a transient failure'
complete -c middletext -n $network -s k -l insecure -d 'Accept any certificate of an https server'
complete -c middletext -n $network -l cacert -r -F -d 'Trust the certificates in FILE'
complete -c middletext -n $network -s x -l proxy -x -d 'Read pages through this proxy'
complete -c middletext -n $network -l max-redirs -x -d 'Follow at most N redirects'
complete -c middletext -n $network -l no-compressed -d 'Ask for the page uncompressed'
complete -c middletext -n $network -s s -l silent -d 'No progress line'

complete -c middletext -n '__fish_seen_subcommand_from code' -l lang -x -a 'python javascript c java go php' -d 'The language of the subroutine'

complete -c middletext -n '__fish_seen_subcommand_from test' -l json -d 'One JSON object per case'
complete -c middletext -n '__fish_seen_subcommand_from test' -l junit -r -F -d 'Write JUnit XML to FILE'
complete -c middletext -n '__fish_seen_subcommand_from test' -l update -d 'Rewrite the expectations of failing cases'
complete -c middletext -n '__fish_seen_subcommand_from suggest' -l middle -x -d 'The text wanted from each page'
complete -c middletext -n '__fish_seen_subcommand_from suggest' -l cases -r -F -d 'Pages and their wanted texts, in a case file'
complete -c middletext -n '__fish_seen_subcommand_from suggest' -l json -d 'Print the pair as one JSON object'
complete -c middletext -n '__fish_seen_subcommand_from suggest' -s 0 -l null -d 'End each text with a zero byte'

# What reads pages for test and suggest: --jobs and the request options.
set -l cases '__fish_seen_subcommand_from test suggest'
complete -c middletext -n $cases -s j -l jobs -x -d 'URLs transferred at once'
complete -c middletext -n $cases -l max-time -x -d 'Give up on a URL after SECONDS in all'
complete -c middletext -n $cases -s A -l user-agent -x -d 'The User-Agent header to send'
complete -c middletext -n $cases -s H -l header -x -d 'A request header to send'
complete -c middletext -n $cases -s b -l cookie -x -d 'Cookies to send'
complete -c middletext -n $cases -l retry -x -d 'Attempts after a transient failure'

# test reads case files; suggest --middle reads FILEs (or - for standard input).
complete -c middletext -n '__fish_seen_subcommand_from test suggest' -F
