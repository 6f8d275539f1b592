" Files ending in .vrel are Vrel programs.
autocmd BufRead,BufNewFile *.vrel setfiletype vrel
