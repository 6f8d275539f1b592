" Vim compiler file for vrelc, the Vrel compiler: `:compiler vrelc`, then `:make` builds the
" executable of the current file (foo.vrel gives foo) and jumps to the first error.
" VRELC_DIAGNOSTICS=always has vrelc follow each message with its location block, whose GNU line
" `FILE:LINE:COL: error: TEXT` (or `note:`, or `FILE: error: REASON` for a file) is what Vim
" reads; the lines of the block that show the source and the caret, and vrelc's own message line
" before the block, are skipped.
if exists("current_compiler")
  finish
endif
let current_compiler = "vrelc"

let s:cpo_save = &cpo
set cpo&vim

CompilerSet makeprg=VRELC_DIAGNOSTICS=always\ vrelc\ -o\ %:r:S\ %:S
CompilerSet errorformat=
      \%-G%*[\ 0-9]\|%.%#,
      \%f:%l:%c:\ %trror:\ %m,
      \%f:%l:%c:\ %tote:\ %m,
      \%f:\ %trror:\ %m,
      \%-G%.%#

let &cpo = s:cpo_save
unlet s:cpo_save
