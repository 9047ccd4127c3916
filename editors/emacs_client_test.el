;;; emacs_client_test.el --- run by emacs_client_test.sh in emacs --batch  -*- lexical-binding: t -*-
;; The set-up of docs/editors.md for Emacs (a mode for the texts, eglot-server-programs), then
;; the train text opened as a user opens it. Writes one line per finding to $RESULT.
(require 'eglot)
(require 'flymake)

(define-derived-mode scengen-mode prog-mode "scengen"
  "The description texts of scengen.")
(add-to-list 'auto-mode-alist '("_linea\\.txt\\'" . scengen-mode))
(add-to-list 'auto-mode-alist '("_[^/]*-\\.txt\\'" . scengen-mode))
(add-to-list 'eglot-server-programs `(scengen-mode . (,(getenv "SCENGEN") "lsp")))

(defvar scengen-test-findings nil)
(defun scengen-test-finish ()
  (with-temp-file (getenv "RESULT")
    (insert (mapconcat #'identity (reverse scengen-test-findings) "\n") "\n"))
  (kill-emacs 0))
(defun scengen-test-note (text) (push text scengen-test-findings))
(defun scengen-test-wait (what condition)
  (let ((deadline (+ (float-time) 30)))
    (while (and (not (funcall condition)) (< (float-time) deadline))
      (accept-process-output nil 0.05))
    (unless (funcall condition)
      (scengen-test-note (concat "timed out waiting for " what))
      (scengen-test-finish))))

(find-file (getenv "TRAIN_TEXT"))
(unless (eq major-mode 'scengen-mode)
  (scengen-test-note (format "the train text opened in %s" major-mode))
  (scengen-test-finish))
(call-interactively #'eglot)
(scengen-test-wait "the server" (lambda () (eglot-current-server)))
(defvar scengen-test-server (eglot-current-server))
;; Flymake starts its backends on an idle timer, which a batch session never reaches.
(flymake-start)
(scengen-test-wait "the diagnostics" (lambda () (flymake-diagnostics)))
(dolist (diagnostic (flymake-diagnostics))
  (let* ((start (flymake-diagnostic-beg diagnostic))
         (lsp (alist-get 'eglot-lsp-diag (flymake-diagnostic-data diagnostic))))
    (scengen-test-note
     (format "diagnostic: %d:%d %s" (line-number-at-pos start)
             (1+ (save-excursion (goto-char start) (current-column)))
             (plist-get lsp :message)))
    (unless (and (equal (plist-get lsp :source) "scengen")
                 (eq (flymake-diagnostic-type diagnostic) 'eglot-warning))
      (scengen-test-note (format "source %S, type %S" (plist-get lsp :source)
                                 (flymake-diagnostic-type diagnostic))))))

;; eglot deletes the process as soon as it has sent exit, so the server's own exit status is a
;; race; what is checked is that the shutdown request is answered, not refused.
(condition-case failure
    (progn (eglot-shutdown scengen-test-server)
           (scengen-test-note "shutdown answered"))
  (error (scengen-test-note (format "shutdown refused: %S" failure))))
(scengen-test-finish)
