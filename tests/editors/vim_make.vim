" Run by run.sh in a scratch folder, with editors/vim on the runtimepath: `:make` on a program
" whose line 7 reads an undefined name lands on that name, and vrelc's own message lines and the
" source and caret lines of its location block make no entry of the quickfix list; a note is a
" second entry; a message about a file is read too.
filetype plugin on
edit average.vrel
call assert_equal('vrelc', get(b:, 'current_compiler', ''))
silent make
" Line 7 begins with a tab, which is one column, as in vrelc's positions.
call assert_equal(['average.vrel', 7, 10], [expand('%'), line('.'), col('.')])
call assert_equal([['e', 7, 10, 'undefined variable totl']],
      \ map(getqflist(), '[v:val.type, v:val.lnum, v:val.col, v:val.text]'))

" A name declared twice: the error at the second declaration, a note at the first.
edit twice.vrel
silent make
call assert_equal([['e', 3, 3], ['n', 2, 3]],
      \ map(getqflist(), '[v:val.type, v:val.lnum, v:val.col]'))
silent cnext
call assert_equal([2, 3], [line('.'), col('.')])

" A message about a file names the file alone.
let s:lines = systemlist('VRELC_DIAGNOSTICS=always vrelc missing.vrel')
let s:items = getqflist({'lines': s:lines, 'efm': &l:errorformat}).items
call assert_equal([['missing.vrel', 'e', 0, 'No such file or directory']],
      \ map(s:items,
      \     '[bufname(v:val.bufnr), v:val.type, v:val.lnum, v:val.text]'))

if !empty(v:errors)
  call writefile(v:errors, '/dev/stderr')
  cquit
endif
qall!
