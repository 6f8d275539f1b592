;;; emacs_eglot.el --- eglot runs vrel-lsp for a Vrel buffer  -*- lexical-binding: t; -*-

;; Run by run.sh in a scratch folder after vrel-mode.el: M-x eglot in average.vrel, whose line 7
;; reads an undefined name, starts the server that vrel-mode registers, and flymake shows its
;; diagnostic on that name.

(require 'eglot)
(find-file "average.vrel")
(call-interactively #'eglot)
(let ((deadline (+ (float-time) 15)))
  (while (and (null (flymake-diagnostics)) (< (float-time) deadline))
    (accept-process-output nil 0.05)))
(let ((found (mapcar (lambda (d)
                       (save-excursion
                         (goto-char (flymake-diagnostic-beg d))
                         (list (line-number-at-pos) (1+ (- (point) (line-beginning-position)))
                               (- (flymake-diagnostic-end d) (flymake-diagnostic-beg d))
                               (flymake-diagnostic-type d)
                               ;; eglot puts the server's "source" before the message
                               (string-suffix-p "undefined variable totl"
                                                (flymake-diagnostic-text d)))))
                     (flymake-diagnostics))))
  (unless (equal found '((7 10 4 eglot-error t)))
    (error "diagnostics %S" found)))
(eglot-shutdown (eglot-current-server))

;;; emacs_eglot.el ends here
