" Vrel comments, for gq, commenting plugins and the 'comments' formatting of Vim; `:make`
" compiles with vrelc (compiler/vrelc.vim).
if exists("b:did_ftplugin")
  finish
endif
let b:did_ftplugin = 1

setlocal comments=s:(*,m:\ ,e:*),:--
setlocal commentstring=--\ %s
setlocal expandtab shiftwidth=2 softtabstop=2
compiler vrelc

let b:undo_ftplugin = "setlocal comments< commentstring< expandtab< shiftwidth< softtabstop<"
      \ . " makeprg< errorformat< | unlet! b:current_compiler"
