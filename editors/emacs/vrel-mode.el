;;; vrel-mode.el --- Major mode for Vrel, the language of the vrelc compiler  -*- lexical-binding: t; -*-

;;; Commentary:

;; Highlights the keywords, the fourteen library routines, numbers, character and string
;; constants, and both kinds of comment: "--" to the end of the line and "(*" to "*)".
;; Files ending in .vrel open in this mode.  M-x compile offers to build the visited file with
;; vrelc, which then follows each message with a GNU line `FILE:LINE:COL: error: TEXT' that
;; compilation mode reads: `next-error' (C-x `) goes to the place of each mistake.  M-x eglot
;; (or `eglot-ensure' in `vrel-mode-hook') runs the language server vrel-lsp for the buffer.
;;
;; Install: put this file in a folder of `load-path' and add (require 'vrel-mode) to your init
;; file, or (load "/usr/local/share/vrelc/editors/emacs/vrel-mode.el").

;;; Code:

(defgroup vrel nil
  "Editing Vrel programs."
  :group 'languages)

(defconst vrel-keywords '("else" "if" "return" "while")
  "Vrel statement keywords.")

(defconst vrel-types '("byte" "int" "proc" "reference")
  "Vrel type keywords and the parameter mode.")

(defconst vrel-constants '("false" "true")
  "Vrel condition constants.")

(defconst vrel-library-routines
  '("extend" "readByte" "readChar" "readInteger" "readString" "shrink" "strcat" "strcmp"
    "strcpy" "strlen" "writeByte" "writeChar" "writeInteger" "writeString")
  "The library routines every Vrel program may call.")

(defcustom vrel-compiler "vrelc"
  "The Vrel compiler that \\[compile] runs on the visited file."
  :type 'string)

(defun vrel-compile-command ()
  "The command that builds the executable of the visited file, foo for foo.vrel.
VRELC_DIAGNOSTICS=always has the compiler give the location of each message."
  (let ((file (and buffer-file-name (file-name-nondirectory buffer-file-name))))
    (concat "VRELC_DIAGNOSTICS=always " vrel-compiler
            (and file (concat " -o " (shell-quote-argument (file-name-sans-extension file))
                              " " (shell-quote-argument file))))))

(defvar vrel-mode-syntax-table
  (let ((table (make-syntax-table)))
    ;; "--" opens a comment of style a, which a newline closes; "(*" opens one of style b,
    ;; which "*)" closes.
    (modify-syntax-entry ?- ". 12" table)
    (modify-syntax-entry ?\n ">" table)
    (modify-syntax-entry ?\( "()1" table)
    (modify-syntax-entry ?\) ")(4" table)
    (modify-syntax-entry ?* ". 23b" table)
    (modify-syntax-entry ?\" "\"" table)
    (modify-syntax-entry ?' "\"" table)
    (modify-syntax-entry ?\\ "\\" table)
    (modify-syntax-entry ?_ "_" table)
    (dolist (char '(?+ ?/ ?% ?= ?< ?> ?! ?& ?|))
      (modify-syntax-entry char "." table))
    table)
  "Syntax table of `vrel-mode'.")

(defconst vrel-font-lock-keywords
  `((,(regexp-opt vrel-keywords 'symbols) . font-lock-keyword-face)
    (,(regexp-opt vrel-types 'symbols) . font-lock-type-face)
    (,(regexp-opt vrel-constants 'symbols) . font-lock-constant-face)
    (,(regexp-opt vrel-library-routines 'symbols) . font-lock-builtin-face)
    ("^[ \t]*\\([A-Za-z][A-Za-z0-9_]*\\)[ \t]*(" 1 font-lock-function-name-face)
    ("\\_<[0-9]+\\_>" . font-lock-constant-face))
  "Highlighting of `vrel-mode'.")

;;;###autoload
(define-derived-mode vrel-mode prog-mode "Vrel"
  "Major mode for editing Vrel programs."
  :syntax-table vrel-mode-syntax-table
  (setq-local font-lock-defaults '(vrel-font-lock-keywords))
  (setq-local comment-start "-- ")
  (setq-local comment-end "")
  (setq-local comment-start-skip "\\(?:--+\\|(\\*+\\)[ \t]*")
  (setq-local compile-command (vrel-compile-command))
  ;; The compiler counts columns in bytes, a tab as one.
  (setq-local compilation-error-screen-columns nil))

;;;###autoload
(add-to-list 'auto-mode-alist '("\\.vrel\\'" . vrel-mode))

(defvar eglot-server-programs)
(with-eval-after-load 'eglot
  (add-to-list 'eglot-server-programs '(vrel-mode "vrel-lsp")))

(provide 'vrel-mode)

;;; vrel-mode.el ends here
