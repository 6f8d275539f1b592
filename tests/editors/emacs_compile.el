;;; emacs_compile.el --- M-x compile and next-error on a Vrel program  -*- lexical-binding: t; -*-

;; Run by run.sh in a scratch folder after vrel-mode.el: the compile command of vrel-mode
;; builds average.vrel, whose line 7 reads an undefined name; `next-error' lands on that name,
;; and finds no second error in vrelc's message line or the source and caret lines of its
;; location block.

(find-file "average.vrel")
(unless (eq major-mode 'vrel-mode)
  (error "average.vrel opened in %s" major-mode))
(let ((buffer (compile compile-command)))
  (while (get-buffer-process buffer)
    (accept-process-output nil 0.1)))
(next-error)
;; Line 7 begins with a tab, which is one column, as in vrelc's positions.
(let ((place (list (file-name-nondirectory buffer-file-name) (line-number-at-pos)
                   (1+ (- (point) (line-beginning-position))))))
  (unless (equal place '("average.vrel" 7 10))
    (error "next-error landed at %S" place)))
(condition-case nil
    (progn (next-error) (error "a second error at line %d" (line-number-at-pos)))
  (user-error nil))

;;; emacs_compile.el ends here
