" Vim syntax file for Vrel, the language of the vrelc compiler.
" Install: copy syntax/, ftdetect/ and ftplugin/ into ~/.vim (or a folder of 'runtimepath').

if exists("b:current_syntax")
  finish
endif

syn case match

syn keyword vrelStatement    if else while return
syn keyword vrelType         int byte proc
syn keyword vrelStorageClass reference
syn keyword vrelBoolean      true false
syn keyword vrelLibrary      readInteger readByte readChar readString
syn keyword vrelLibrary      writeInteger writeByte writeChar writeString
syn keyword vrelLibrary      extend shrink strlen strcmp strcpy strcat

syn match   vrelNumber       "\<\d\+\>"
syn match   vrelOperator     "==\|!=\|<=\|>=\|[-+*/%=<>!&|]"

" Escapes: \n \t \r \0 \\ \' \" and \x with exactly two hexadecimal digits. A constant ends on its
" own line; a single quote inside a string or a double quote inside a character must be escaped.
syn match   vrelEscape       contained "\\\([ntr0\\'"]\|x\x\x\)"
syn match   vrelString       +"\([^"'\\]\|\\\([ntr0\\'"]\|x\x\x\)\)*"+ contains=vrelEscape
syn match   vrelCharacter    +'\([^"'\\]\|\\\([ntr0\\'"]\|x\x\x\)\)'+ contains=vrelEscape

" "--" always starts a comment, even inside an expression; "(*" comments do not nest.
syn match   vrelLineComment  "--.*$" contains=@Spell
syn region  vrelBlockComment start="(\*" end="\*)" contains=@Spell

syn match   vrelFunction     "\<\a\w*\ze\s*("

hi def link vrelStatement    Statement
hi def link vrelType         Type
hi def link vrelStorageClass StorageClass
hi def link vrelBoolean      Boolean
hi def link vrelLibrary      Function
hi def link vrelFunction     Function
hi def link vrelNumber       Number
hi def link vrelOperator     Operator
hi def link vrelEscape       SpecialChar
hi def link vrelString       String
hi def link vrelCharacter    Character
hi def link vrelLineComment  Comment
hi def link vrelBlockComment Comment

let b:current_syntax = "vrel"
