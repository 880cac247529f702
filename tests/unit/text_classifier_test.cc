#include "text/text_classifier.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace ident {
namespace {

struct Case {
  std::string_view text;
  std::string_view want;
};

void expectKinds(const Case* cases, std::size_t count,
                 std::string_view magic = "ASCII text") {
  for (std::size_t i = 0; i < count; ++i) {
    SCOPED_TRACE(testing::PrintToString(cases[i].text));
    TextVerdict v = classifyText(cases[i].text, magic);
    EXPECT_EQ(v.extension, cases[i].want) << "evidence: " << v.evidence;
    EXPECT_FALSE(v.evidence.empty());
    EXPECT_FALSE(v.description.empty());
  }
}

TEST(TextClassifierTest, ShebangNamesTheInterpreter) {
  static const Case kCases[] = {
      {"#!/bin/sh\necho hi\n", "sh"},
      {"#!/bin/bash -e\nx=1\n", "sh"},
      {"#!/usr/bin/env python3\nprint(1)\n", "py"},
      {"#!/usr/bin/python3.11 -u\n", "py"},
      {"#!/usr/bin/env -S perl -w\n", "pl"},
      {"#!/usr/bin/env LC_ALL=C ruby\n", "rb"},
      {"#! /usr/local/bin/lua5.4\n", "lua"},
      {"#!/usr/bin/env node\n", "js"},
      {"#!/usr/bin/tclsh8.6\n", "tcl"},
      {"#!/usr/bin/awk -f\n{ print $1 }\n", "awk"},
      {"#!/usr/bin/env pwsh\n", "ps1"},
      {"#!/usr/bin/make -f\n", "mk"},
      {"#!/usr/bin/guile-3.0 \\\n!#\n", "scm"},
      // A shell prologue that restarts the file under another interpreter.
      {"#!/bin/sh\n# restart using tclsh \\\nexec tclsh \"$0\" \"$@\"\nputs "
       "hi\n",
       "tcl"},
  };
  expectKinds(kCases, std::size(kCases));
}

TEST(TextClassifierTest, UnknownShebangFallsThroughToContent) {
  // An interpreter we do not know must not decide; the body still can.
  EXPECT_EQ(
      classifyText("#!/opt/odd/interp\nhello there\n", "ASCII text").extension,
      "txt");
  EXPECT_EQ(classifyText("#!/usr/bin/env\n", "ASCII text").extension, "txt");
}

TEST(TextClassifierTest, EditorModesNameTheKind) {
  static const Case kCases[] = {
      {"-*- text -*-\nlet x = 1\nlet y = 2\nlet z = 3\n", "txt"},
      {"/* -*- C++ -*- */\nint x;\n", "cpp"},
      {"# -*- mode: python; coding: utf-8 -*-\nx = 1\n", "py"},
      {";; -*- mode: emacs-lisp -*-\n", "el"},
      {"some text\n\n# vim: set ft=sh :\n", "sh"},
      {"x\n/* vim: filetype=c */\n", "c"},
      // A coding line alone names no mode.
      {"# -*- coding: utf-8 -*-\nhello\n", "txt"},
  };
  expectKinds(kCases, std::size(kCases));
}

TEST(TextClassifierTest, ProgrammingLanguagesFromGrammar) {
  static const Case kCases[] = {
      {"#include <stdio.h>\n\nint main(void) {\n  printf(\"hi\\n\");\n  return "
       "0;\n}\n",
       "c"},
      {"#ifndef FOO_H\n#define FOO_H\ntypedef struct foo foo_t;\nextern int "
       "foo_size(const foo_t *f);\n#endif\n",
       "c"},
      {"#include <stdlib.h>\n\nvoid release(int *v)\n{\n\tfree(v);\n}\n", "c"},
      // Directives indented after the "#" in nested conditionals.
      {"#if defined(_WIN32)\n#  define SIZEOF_LONG 4\n#  "
       "include <windows.h>\n#elif defined(__LP64__)\n#  define SIZEOF_LONG 8\n#  "
       "ifdef HAVE_UNISTD_H\n#    include <unistd.h>\n#  endif\n#endif\n",
       "c"},
      {"#include <vector>\n#include \"x.h\"\nnamespace app {\nclass Box {\n "
       "public:\n  Box() = default;\n"
       "  std::vector<int> items;\n};\n}  // namespace app\n",
       "cpp"},
      {"#include \"counter.h\"\n\nint Counter::Increment() {\n  return "
       "counter_++;\n}\n"
       "template <typename T>\nT twice(T x) { return x + x; }\n",
       "cpp"},
      {"#include \"detail/macros.hpp\"\n#include \"util.hpp\"\n#define X 1\n",
       "cpp"},
      {"import os\nfrom sys import argv\n\n\ndef main(args):\n    if args:\n   "
       "     return 1\n    return 0\n",
       "py"},
      {"class Shape(object):\n    def area(self):\n        return self.w * "
       "self.h\n",
       "py"},
      {"if [ -z \"$1\" ]; then\n  echo usage\n  exit 1\nfi\nfor f in *; do\n  "
       "echo $f\ndone\n",
       "sh"},
      {"use strict;\nuse warnings;\n\nmy $name = shift;\nmy @list = (1, "
       "2);\nprint \"$name\\n\";\n",
       "pl"},
      {"package Foo::Bar;\nuse strict;\nsub new {\n  my ($class) = @_;\n  "
       "return bless {}, $class;\n}\n1;\n",
       "pl"},
      {"require 'json'\n\nmodule Greeter\n  def self.hello(name)\n    puts "
       "\"hi #{name}\"\n  end\nend\n",
       "rb"},
      {"class Dog < Animal\n  attr_reader :name\n  def bark\n    items.each do "
       "|i|\n      puts i\n    end\n  end\nend\n",
       "rb"},
      {"local M = {}\n\nlocal function helper(x)\n  if x ~= nil then\n    "
       "return x .. \"!\"\n  end\nend\n\n"
       "function M.run(t)\n  for i, v in ipairs(t) do print(v) "
       "end\nend\n\nreturn M\n",
       "lua"},
      {"local a, b\nlocal c\nlocal d = 1\n", "lua"},
      {"package require Tk\nbutton .b -text Quit -command exit\npack .b\nbind . <Control-q> exit\n"
       "bind .b <Enter> {puts hi}\n",
       "tcl"},
      {"'use strict';\nconst fs = require('fs');\nmodule.exports = function "
       "(x) {\n  if (x === undefined) "
       "return null;\n  console.log(x);\n};\n",
       "js"},
      {"import React from 'react';\nexport default function App() {\n  const "
       "[a, b] = useState(0);\n  "
       "return a !== b;\n}\n",
       "js"},
      // Doc comments written in Markdown above the code they document.
      {"// PluginSpec:: interface\n//\n"
       "// This is the type passed to the [`Plugin`](#state.Plugin)\n"
       "// constructor. See [the guide](#guide) and [`EditorState`](#state.EditorState).\n//\n"
       "//   props:: ?EditorProps\n"
       "//   The [view props](#view.EditorProps) added by this plugin.\n//\n"
       "//   state:: ?StateField<any>\n"
       "//   Allows a plugin to define a [state field](#state.StateField).\n//\n"
       "//   key:: ?PluginKey\n"
       "//   Can be used to make this a [keyed](#state.PluginKey) plugin, as the\n"
       "//   [`filterTransaction`](#state.PluginSpec.filterTransaction) hook is.\n\n"
       "function bindProps(obj, self, target) {\n  for (let prop in obj) {\n"
       "    let val = obj[prop]\n    if (val instanceof Function) val = val.bind(self)\n"
       "    target[prop] = val\n  }\n  return target\n}\n\nexport class Plugin {\n"
       "  constructor(spec) {\n    this.spec = spec\n    this.props = {}\n  }\n}\n",
       "js"},
      // Angular's own build: its bundles import the packages "* as i0".
      {"import * as i0 from '@angular/core';\nimport * as i1 from '@angular/common';\n\n"
       "class NgIf {\n  constructor(viewContainer) {\n    this._viewContainer = "
       "viewContainer;\n  }\n}\nexport { NgIf };\n",
       "js"},
      {"package org.example.app;\n\nimport java.util.List;\n\npublic class "
       "Main {\n  @Override\n  public String "
       "toString() { return \"x\"; }\n  public static void main(String[] args) "
       "{\n    System.out.println(1);\n  }\n}\n",
       "java"},
      {"package main\n\nimport (\n\t\"fmt\"\n)\n\nfunc main() {\n\tx := "
       "1\n\tif err != nil {\n\t\treturn\n\t}\n\t"
       "fmt.Println(x)\n}\n",
       "go"},
      // A Python module that keeps YAML in a string: only comments and
      // directives come before a YAML stream's first "---".
      {"from __future__ import absolute_import, division\n"
       "__metaclass__ = type\n\nDOCUMENTATION = '''\n---\nmodule: dnf\n"
       "short_description: Manages packages\noptions:\n  name:\n"
       "    type: str\n    required: false\n  state:\n    type: str\n"
       "    required: false\n  list:\n    type: str\n    required: false\n"
       "  enablerepo:\n    type: str\n    required: false\n"
       "  disablerepo:\n    type: str\n    required: false\n  conf_file:\n"
       "    type: str\n    required: false\n'''\n",
       "py"},
      // Package variables and constants declared as JavaScript declares
      // them, under Go's package clause.
      {"// Copyright 2018 The Go Authors. All rights reserved.\n// Use of this "
       "source code is governed by a BSD-style\n// license that can be found "
       "in the LICENSE file.\n\npackage syscall\n\nvar RawSyscallNoError = "
       "rawSyscallNoError\n\nconst Sys_GETEUID = sys_GETEUID\n",
       "go"},
      {"use std::io;\n\n#[derive(Debug)]\npub struct Point { x: i32 }\n\nimpl "
       "Point {\n    pub fn new() -> Self {\n"
       "        let mut p = Point { x: 0 };\n        p\n    }\n}\n",
       "rs"},
      {"package require Tcl 8.5\nnamespace eval ::demo {}\nproc ::demo::add {a "
       "b} {\n    set sum [expr {$a + $b}]\n"
       "    lappend ::demo::log $sum\n    return $sum\n}\n",
       "tcl"},
      {"BEGIN { FS = \":\" }\n$3 > 1000 { print $1; n++ }\nEND { print NR, n "
       "}\n",
       "awk"},
      {"function join(array, start, end, sep,    result, i)\n{\n    result = "
       "array[start]\n    return result\n}\n"
       "BEGIN { print ENVIRON[\"HOME\"] }\n",
       "awk"},
      {"[CmdletBinding()]\nparam(\n  [string]$Path\n)\nif (Test-Path $Path) "
       "{\n  Write-Host \"found\"\n}\n"
       "$x = $null\n",
       "ps1"},
      {"<?php\nnamespace App;\nclass A {}\n", "php"},
      {"CREATE TABLE users (\n  id integer PRIMARY KEY,\n  name text NOT "
       "NULL\n);\nINSERT INTO users VALUES "
       "(1, 'a');\n",
       "sql"},
      {"-- complain if sourced directly\n\\echo Use \"CREATE EXTENSION x\" to "
       "load this file. \\quit\n"
       "ALTER OPERATOR <= (cube, cube) SET (RESTRICT = x);\n",
       "sql"},
      {"body {\n  margin: 0;\n  color: #333;\n}\n.nav a:hover,\n.nav a:focus "
       "{\n  color: red !important;\n}\n"
       "@media (max-width: 600px) {\n  body { margin: 1px; }\n}\n",
       "css"},
      {"\\documentclass{article}\n\\usepackage{amsmath}\n\\begin{document}"
       "\n\\section{Intro}\nHi.\n"
       "\\end{document}\n",
       "tex"},
      {"dnl Process this file with autoconf\nAC_DEFUN([MY_CHECK], [\n  "
       "AC_MSG_CHECKING([for x])\n"
       "  if test \"x$y\" = xyes; then\n    :\n  fi\n])\n",
       "m4"},
      // A picture drawn by M4 macros, its definitions stacked in place.
      {".PS\ninclude(lsystem.m4)\n  pushdef(`F',``F F'')\n  pushdef(`X',``F P X M X'')\n"
       "  Plant: [ Produce(0,5,``X'') ]\n  popdef(`X')\n  popdef(`F')\n.PE\n",
       "m4"},
      {";;; foo.el --- Things -*- lexical-binding: t -*-\n(require "
       "'cl-lib)\n(defun foo ()\n  (interactive)\n"
       "  (message \"x\"))\n(provide 'foo)\n",
       "el"},
      {"(in-package :alexandria)\n(defun flatten (tree)\n  (let ((list '()))\n "
       "   list))\n(defmacro when-let "
       "(x) x)\n",
       "lisp"},
      {"(define-module (demo))\n(use-modules (ice-9 match))\n(define (square "
       "x)\n  (* x x))\n",
       "scm"},
      {"module Main where\n\nimport qualified Data.Map as M\n\nmain :: IO "
       "()\nmain = do\n  x <- getLine\n"
       "  print x\n",
       "hs"},
      {"unit Geometry;\n\ninterface\n\nuses SysUtils;\n\nfunction Area(W, H: "
       "Integer): Integer;\n\n"
       "implementation\n\nfunction Area(W, H: Integer): Integer;\nbegin\n  "
       "Area := W * H;\nend;\n\nend.\n",
       "pas"},
      {"program demo\n  implicit none\n  integer :: i\n  do i = 1, 3\n    call "
       "show(i)\n  end do\nend program demo\n",
       "f90"},
      {"all: demo\n\ndemo: main.o util.o\n\t$(CC) -o $@ $^\n\n.PHONY: "
       "clean\nclean:\n\trm -f *.o demo\n",
       "mk"},
      {"CFLAGS ?= -O2\nSRCS := $(wildcard *.c)\nifeq ($(DEBUG),1)\nCFLAGS += "
       "-g\nendif\n",
       "mk"},
      {"cmake_minimum_required(VERSION 3.25)\nproject(demo "
       "C)\nadd_executable(demo main.c)\nif(WIN32)\n"
       "  set(X 1)\nendif()\n",
       "cmake"},
      // A CMake module opens with its documentation in a bracket comment,
      // reStructuredText that may fill all that is read.
      {"# Distributed under the OSI-approved BSD 3-Clause License.\n\ninclude_guard(GLOBAL)\n\n"
       "#[=======================================================================[.rst:\n"
       "DemoProject\n-----------\n\n.. only:: html\n\n   .. contents::\n\n"
       ".. command:: demo_add\n\n  .. code-block:: cmake\n\n    demo_add(<name> [<option>...])\n\n"
       "  Adds a demo. See :variable:`DEMO_DIR` and :command:`demo_step`.\n",
       "cmake"},
      // Rust's attributes open with "#[" too.
      {"#[derive(Debug)]\nstruct Point {\n    x: i32,\n}\n\nfn main() {\n    let p = Point { x: 1 };\n"
       "    println!(\"{:?}\", p);\n}\n",
       "rs"},
      {"\" Vim syntax file\nif exists(\"b:current_syntax\")\n  "
       "finish\nendif\nsyn keyword demoKw if then\n"
       "hi def link demoKw Keyword\nlet b:current_syntax = \"demo\"\n",
       "vim"},
      // A keymap's dispatcher: "let name = &option" reads one of Vim's
      // options, where JavaScript has no "&" before a value.
      {"let encoding = &enc\nif encoding == 'latin1'\n    if has(\"unix\")\n\tlet encoding = "
       "'iso-8859-2'\n    else\n\tlet encoding = 'cp1250'\n    endif\nendif\n\n"
       "if encoding == 'utf-8'\n\tsource <sfile>:p:h/demo_utf-8.vim\nelseif encoding == 'cp1250'\n"
       "\tsource <sfile>:p:h/demo_cp1250.vim\nendif\n",
       "vim"},
      {"@echo off\nsetlocal\nset ROOT=%~dp0\nif not exist \"%ROOT%\\out\" "
       "mkdir \"%ROOT%\\out\"\nexit /b 0\n",
       "bat"},
      {"set SERVER=%1\nset CASE=%2\n%SERVER% --stop\nset rv=%ERRORLEVEL%\nexit "
       "/B %rv%\n",
       "bat"},
      // Loops, arithmetic and tests of variables, with no "@echo off".
      {"for /f \"tokens=1,2 delims==\" %%a in (settings.ini) do set %%a=%%b\n"
       "if not defined OUTDIR set OUTDIR=build\nset /a JOBS=%NUMBER_OF_PROCESSORS%+1\n"
       "mkdir \"%OUTDIR%\" 2>nul\n",
       "bat"},
      // VBScript for Windows Script Host, and a module exported from Office.
      {"Option Explicit\r\nDim objShell\r\nSet objShell = WScript.CreateObject(\"WScript.Shell\")\r\n"
       "objShell.Run \"notepad.exe\", 1, False\r\nSet objShell = Nothing\r\n",
       "vbs"},
      {"Attribute VB_Name = \"Module1\"\r\nPublic Sub AutoOpen()\r\n    Dim path As String\r\n"
       "    path = Environ(\"TEMP\")\r\n    MsgBox path\r\nEnd Sub\r\n",
       "vbs"},
      // A batch file that hands the rest of itself to cscript as VBScript
      // is run by cmd.exe: batch.
      {"' 2>nul & @echo off\r\n' 2>nul & cscript //nologo //e:vbscript \"%~f0\" %*\r\n"
       "' 2>nul & exit /b %errorlevel%\r\n"
       "Option Explicit\r\nDim fso\r\nSet fso = CreateObject(\"Scripting.FileSystemObject\")\r\n"
       "WScript.Echo fso.GetAbsolutePathName(\".\")\r\n",
       "bat"},
      {"package org.demo.app;\n\nimport java.util.List;\n\npublic class "
       "Demo {\n  @Override\n  public String toString() { return \"d\"; }\n}\n",
       "java"},
      {"package org.demo.app\n\nimport kotlinx.coroutines.flow.Flow\n\ndata "
       "class Point(val x: Int, val y: Int)\n\nfun Point.norm(): Int = x * x "
       "+ y * y\n",
       "kt"},
      // Classes declared as Java declares them, in a C# namespace.
      {"// Copyright 2008, Charlie Poole\nusing System;\n\nnamespace "
       "NUnit.Framework.Tests\n{\n    public class TestDelegates\n    {\n"
       "        public static void ThrowsArgumentException()\n        {\n"
       "            throw new ArgumentException(\"myMessage\", \"myParam\");\n"
       "        }\n    }\n\n    public class MoreDelegates\n    {\n    }\n\n"
       "    public class Other\n    {\n    }\n}\n",
       "cs"},
      {"using System;\nusing System.Collections.Generic;\n\nnamespace "
       "Demo.App\n{\n    public class Box\n    {\n        public string Name "
       "{ get; set; }\n    }\n}\n",
       "cs"},
      {"import { Injectable } from '@angular/core';\n\nexport interface User "
       "{\n  id: number;\n  name?: string;\n}\n\nexport function greet(u: "
       "User): string {\n  return `hi ${u.name}`;\n}\n",
       "ts"},
      // Method signatures ending in ";" and a call signature still say
      // TypeScript beside the rest of its grammar.
      {"interface Point {\n  x: number;\n  y: number;\n}\n\ninterface Box<T> {\n  value: T;\n}\n",
       "ts"},
      // ALSA's configuration names an interface by a word, not a type.
      {"pcm.demo {\n\thooks.0 {\n\t\thook_args [\n\t\t\t{\n\t\t\t\tinterface PCM\n"
       "\t\t\t\tname \"Send Volume\"\n\t\t\t}\n\t\t\t{\n\t\t\t\tinterface MIXER\n"
       "\t\t\t\tname \"Capture\"\n\t\t\t}\n\t\t\t{\n\t\t\t\tinterface CARD\n"
       "\t\t\t\tname \"Route\"\n\t\t\t}\n\t\t]\n\t}\n}\n",
       "txt"},
      {"export interface Store {\n  get(key: string): Promise<Entry>;\n  (query: "
       "Query): Result;\n  size(): Number;\n}\n\nexport function open(path: "
       "string): Store {\n  return new FileStore(path);\n}\n",
       "ts"},
      // Pascal's headings end in ";" and type their parameters as
      // TypeScript does; its bodies are "begin ... end;".
      {"const\n  HexDigits = '0123456789ABCDEF';\n\nfunction IntToHex(Value: "
       "Int64; Digits: Integer): String;\nvar i: Integer;\nbegin\n  "
       "SetLength(Result, Digits);\n  for i := 0 to Digits - 1 do\n    "
       "Result[Digits - i] := HexDigits[(Value and 15) + 1];\nend;\n\nfunction "
       "FindName(AnID: String): String;\nbegin\n  Result := '';\nend;\n\n"
       "function IsTag(ATag: String): Boolean;\nbegin\n  Result := ATag <> "
       "'';\nend;\n",
       "pas"},
      // Its class declarations: "class function", parameters marked
      // "const", headings that go on over two lines and end in directives.
      {"unit WSDragImages;\n\ninterface\n\nuses\n  Classes, WSLCLClasses;\n\n"
       "type\n  TWSDragImageList = class(TWSCustomImageList)\n  published\n    "
       "class function BeginDrag(const AImages: TDragImages; Window: HWND;\n"
       "      AIndex, X, Y: Integer): Boolean; virtual;\n    class function "
       "DragMove(const AImages: TDragImages; X, Y: Integer): Boolean; "
       "virtual;\n    class procedure EndDrag(const AImages: TDragImages); "
       "virtual;\n    class function HideDragImage(const AImages: "
       "TDragImages;\n      ALockedWindow: HWND; DoUnLock: Boolean): Boolean; "
       "virtual;\n    class function ShowDragImage(const AImages: "
       "TDragImages;\n      ALockedWindow: HWND; X, Y: Integer; DoLock: "
       "Boolean): Boolean; virtual;\n  end;\n",
       "pas"},
      {"import { Observable } from 'rxjs';\n\nexport function mergeScan<V, "
       "R>(\n  accumulator: (acc: R, value: V) => Observable<R>,\n  seed: R\n): "
       "OperatorFunction<V, R> {\n  return operate((source) => source);\n}\n",
       "ts"},
      {"import 'package:flutter/material.dart';\n\nvoid main() {\n  "
       "runApp(const Counter());\n}\n\nclass Counter extends StatefulWidget {\n"
       "  const Counter({super.key, required this.start});\n  final int start;\n\n"
       "  @override\n  State<Counter> createState() => _CounterState();\n}\n",
       "dart"},
      // Handlers written as arrows whose parameters carry types: nothing
      // else in the file is TypeScript's own.
      {"import express from 'express';\n\nconst app = express();\n\n"
       "app.get('/', (req: Request, res: Response) => {\n  res.send('ok');\n});\n\n"
       "app.use((err: HttpError, req: Request, res: Response) => {\n"
       "  res.status(err.status);\n});\n"
       "process.on('exit', (code?: Number) => console.log(code));\n",
       "ts"},
      // Members typed after their names; the methods' types are classes.
      {"export class Cache {\n  private entries: Map<Key, Entry>;\n"
       "  protected limit?: Size;\n  public static readonly shared: Cache;\n\n"
       "  constructor(limit) {\n    this.entries = new Map();\n  }\n}\n",
       "ts"},
      // Go's package documentation over the package clause is a whole
      // doc.go file.
      {"/*\nPackage redis is a session store backed by Redis.\n\nIt keeps "
       "sessions for gorilla/sessions.\n*/\npackage redis\n",
       "go"},
      {"/*\nCopyright 2014 The Authors.\n*/\n\n// +k8s:openapi-gen=true\n\n// Package "
       "version supplies the build's version.\npackage version // import "
       "\"k8s.io/apimachinery/pkg/version\"\n",
       "go"},
      // Only the "#cgo" directives and the C of the preamble fit in what
      // is read.
      {"package virt\n\n/*\n#cgo pkg-config: libvirt\n#include <stdint.h>\n"
       "#include <stdlib.h>\n\nint virtStreamRecv(void *st, char *data, size_t n) {\n"
       "    return 0;\n}\n",
       "go"},
      // cgo: the C preamble in the comment above 'import "C"' is the Go
      // file's own.
      {"package virt\n\n/*\n#cgo pkg-config: libvirt\n#include <assert.h>\n"
       "#include <stdlib.h>\n#include <libvirt/libvirt.h>\n#include \"stream_wrapper.h\"\n\n"
       "static int streamRecv(virStreamPtr st, char *data, size_t n, virErrorPtr err) {\n"
       "    int ret = virStreamRecv(st, data, n);\n    if (ret < 0) {\n"
       "        virCopyLastError(err);\n    }\n    return ret;\n}\n\n"
       "struct CallbackData {\n    int callbackId;\n    void *opaque;\n};\n\n"
       "static void freeCb(void *opaque) {\n    free(opaque);\n}\n*/\nimport \"C\"\n\n"
       "func (s *Stream) Free() error {\n\treturn nil\n}\n",
       "go"},
      // Rust's crates and use declarations, whose paths look like C++'s.
      {"extern crate pkg_config;\nextern crate cc;\n\nuse std::env;\nuse "
       "std::path::PathBuf;\n\nfn main() {\n    let out = "
       "PathBuf::from(&env::var(\"OUT_DIR\").unwrap());\n    "
       "cc::Build::new().file(out.join(\"a.c\")).compile(\"liba.a\");\n}\n",
       "rs"},
      {"fn main() {\n    let args: Vec<_> = std::env::args().collect();\n    let text = "
       "std::fs::read_to_string(&args[1]).unwrap();\n    match "
       "roxmltree::Document::parse(&text) {\n        Ok(doc) => print!(\"{:?}\", doc),\n"
       "        Err(e) => println!(\"Error: {}.\", e),\n    }\n}\n",
       "rs"},
      // TypeScript's CommonJS forms, all a declaration file may hold.
      {"import IteratorClose = require('../2015/IteratorClose');\nexport = "
       "IteratorClose;\n",
       "ts"},
      // An application's entry point, whose imports are all it holds: a
      // module written in TypeScript, and Angular's packages.
      {"import './polyfills.ts';\n\nimport { enableProdMode } from '@angular/core';\n"
       "import { platformBrowserDynamic } from '@angular/platform-browser-dynamic';\n\n"
       "import { AppModule } from './app/app.module';\n\n"
       "platformBrowserDynamic().bootstrapModule(AppModule);\n",
       "ts"},
      {"import { app } from './app.ts';\nimport { config } from './config.ts';\n\n"
       "app.listen(config.port);\n",
       "ts"},
      // A module whose docstrings are written in reStructuredText.
      {"from flask import g\nfrom flask_dance.consumer import Blueprint\n\n\n"
       "def make_blueprint(\n    client_id=None,\n):\n    \"\"\"\n    Make a "
       "blueprint, using :envvar:`CLIENT_ID` and\n    :envvar:`CLIENT_SECRET`.\n\n"
       "    .. note::\n\n       Set ``offline`` to get a refresh token.\n\n    "
       ":rtype: :class:`~flask.Blueprint`\n    \"\"\"\n    return Blueprint(client_id)\n",
       "py"},
      // RSpec examples, and a type defined with symbols for hash keys.
      {"require 'spec_helper'\n\ndescribe 'cinder' do\n  let :params do\n    {\n"
       "      :lock_path => '/var/lock/cinder',\n    }\n  end\n\n  context 'with "
       "defaults' do\n    it { is_expected.to contain_class('cinder::params') }\n  end\nend\n",
       "rb"},
      {"Puppet::Type.newtype(:manila_type) do\n  desc 'Type for managing manila types.'\n\n"
       "  ensurable\n\n  newparam(:name, :namevar => true) do\n    newvalues(/\\S+/)\n  end\n\n"
       "  newparam(:is_public, :boolean => true) do\n    desc 'Whether the type is public'\n"
       "    newvalues(:true, :false)\n    defaultto true\n  end\n\n  newproperty(:share_servers, "
       ":boolean => true) do\n    newvalues(:true, :false)\n  end\nend\n",
       "rb"},
      // Blocks handed to a constant's method and to calls with a symbol;
      // the load path and "defined?".
      {"Capistrano::Configuration.instance.load do\n  namespace :db do\n"
       "    desc \"Load seed data\"\n    task :seed do\n      run \"rake db:seed\"\n"
       "    end\n  end\nend\n",
       "rb"},
      {"unless defined? DEMO_ROOT\n  DEMO_ROOT = File.expand_path('..')\nend\n"
       "$LOAD_PATH.unshift File.join(DEMO_ROOT, 'lib')\n",
       "rb"},
      // Lua's loops and Elixir's modules open blocks with "do" too.
      {"local M = {}\n\nfunction M.sum(n)\n  local total = 0\n  for i = 1, n do\n"
       "    total = total + i\n  end\n  while total > 5 do\n    total = total - 5\n  end\n"
       "  return total\nend\n\nreturn M\n",
       "lua"},
      // Vim's test scripts name their examples without Ruby's "do".
      {"describe 'parts'\n  it 'overwrites existing values'\n    call "
       "airline#parts#define('foo', { 'test': '123' })\n    Expect "
       "airline#parts#get('foo').test == '123'\n  end\n\n  it 'defines a function "
       "part'\n    call airline#parts#define_function('func', 'bar')\n    let "
       "g:airline_section_a = airline#section#create(['mode'])\n  end\nend\n\nfunction! "
       "s:setup()\n  call airline#init#bootstrap()\nendfunction\n",
       "vim"},
      // A module docstring is all a module's first lines may hold; its
      // metadata is no TOML.
      {"\"\"\"Homogeneous transformation matrices and quaternions.\n\nA library for "
       "calculating 4x4 matrices for translating, rotating, reflecting,\nscaling and "
       "projecting arrays of 3D homogeneous coordinates.\n\n:Authors:\n  Christoph "
       "Gohlke\n",
       "py"},
      {"__title__ = 'kaptan'\n__version__ = '0.5.12'\n__description__ = 'Configuration "
       "manager'\n__license__ = 'BSD'\n",
       "py"},
      {"open(F1, $ARGV[0]) or die $!;\nwhile(<F1>){\n\tchomp;\n\t@aa=split /\\s+/;\n"
       "\tprint $aa[0];\n}\n",
       "pl"},
      // Search indexes that documentation generators write.
      {"Search.setIndex({docnames:[\"index\",\"usage\"],envversion:{\"sphinx\":56},"
       "filenames:[\"index.rst\",\"usage.rst\"],objects:{},terms:{\"the\":[0,1]}})",
       "js"},
      {"typeSearchIndex = [{\"p\":\"org.demo\",\"l\":\"Parser\"},{\"l\":\"All "
       "Classes\",\"u\":\"allclasses-index.html\"}];updateSearchResults();",
       "js"},
      // A package's index of re-exports is a module; re-exporting
      // "default as constant" is no TypeScript "as const".
      {"export * from './parser';\nexport * from './printer';\n"
       "export { default as Lexer } from './lexer';\n",
       "js"},
      {"export { default as attempt } from './attempt.js';\n"
       "export { default as constant } from './constant.js';\n"
       "export { default as defaultTo } from './defaultTo.js';\n"
       "export { default } from './util.default.js';\n",
       "js"},
      {"export const COLORS = ['red', 'green', 'blue'] as const;\n"
       "export const SIZES = [1, 2, 3] as const;\n",
       "ts"},
      // A package-info file: a documented, annotated package and no class.
      {"/**\n * Readers and writers of the archive format.\n */\n"
       "@ParametersAreNonnullByDefault\npackage org.example.archive.io;\n\n"
       "import javax.annotation.ParametersAreNonnullByDefault;\n",
       "java"},
      // A module declaration (module-info.java); Pascal's uses clause lists
      // unit names with commas.
      {"module org.example.archive {\n  requires java.logging;\n  requires "
       "transitive org.example.common;\n  exports org.example.archive;\n  "
       "provides org.example.spi.Codec with org.example.internal.Gzip;\n}\n",
       "java"},
      // Package-private classes whose Javadoc speaks of code.
      {"package org.example.math;\n\n/** Powers of ten that fit in {@code int}. */\n"
       "final class Powers {\n  static final int[] TENS = {1, 10, 100, 1000};\n\n"
       "  private Powers() {}\n}\n",
       "java"},
      // A library in Kotlin's explicit API mode: "public" on every member.
      {"package org.example.channels\n\n/** A channel its sender closes. */\n"
       "public interface SendChannel<in E> {\n    public val isClosedForSend: Boolean\n\n"
       "    public suspend fun send(element: E)\n\n    public fun close(cause: "
       "Throwable? = null): Boolean\n}\n",
       "kt"},
      // Gradle's build scripts in Kotlin.
      {"plugins {\n    `java-library`\n    kotlin(\"jvm\") version \"1.9.22\"\n}\n\n"
       "dependencies {\n    api(libs.opentest4j)\n    implementation(\"org.example:core:1.0\")\n"
       "    testImplementation(kotlin(\"test\"))\n}\n",
       "kt"},
      // An extension function on a receiver type, and properties typed
      // after their names; TypeScript types its variables declared with
      // "let" and closes them with ";".
      {"import org.gradle.api.Task\n\nfun Task.trackInputs() =\n    "
       "inputs.property(\"os\", current())\n",
       "kt"},
      {"import org.gradle.api.JavaVersion\n\nopen class Settings {\n    var "
       "mainVersion: JavaVersion = JavaVersion.VERSION_17\n    var release: "
       "Boolean = true\n}\n",
       "kt"},
      {"import { Volume } from './volume';\n\nvar count: Count = 0;\nlet "
       "name: Name = 'demo';\nconsole.log(count, name);\n",
       "ts"},
      {"rootProject.name = \"notes\"\n\ninclude(\":app\")\ninclude(\":core\")\n\n"
       "dependencyResolutionManagement {\n    repositories {\n        mavenCentral()\n"
       "    }\n}\n",
       "kt"},
      // A short source of macros and a few instructions, some without
      // operands.
      {"/* Prints a character through the BIOS, then halts. */\n\n#include "
       "\"common.h\"\n\nBEGIN\n    mov $0x0E, %ah\n    mov $'H', %al\n    int "
       "$0x10\n    cli\n    hlt\n",
       "s"},
      // Java declares its members type first.
      {"package demo;\n\npublic class Cache {\n  private Map<Key, Entry> entries;\n"
       "  protected int limit;\n  public static final Cache SHARED = new Cache();\n}\n",
       "java"},
      // JavaScript's arrows name their parameters alone.
      {"const app = require('express')();\n\napp.get('/', (req, res) => {\n"
       "  res.send({ status: 'ok' });\n});\nmodule.exports = app;\n",
       "js"},
      // Parameters typed where no return type is written, a constant typed
      // after its name, a type alias: nothing else is TypeScript's own.
      {"import { noCase, Options } from \"no-case\";\n\nexport function "
       "dotCase(input: string, options: Options = {}) {\n  return noCase(input, "
       "{ delimiter: \".\", ...options });\n}\n",
       "ts"},
      {"import { Volume } from './volume';\n\nconst vol: Volume = "
       "Volume.fromJSON({ '/a': 'b' });\nlet timer: Timer | undefined;\n\n"
       "type Pair = [string, number];\nconsole.log(vol.toJSON());\n",
       "ts"},
      // An enum only TypeScript can open; C opens its own with "enum name".
      {"export enum Color {\n  Red = 'red',\n  Green = 'green',\n  Blue = "
       "'blue',\n}\n\nexport const DEFAULT_COLOR = Color.Red;\n",
       "ts"},
      {"#include <stdio.h>\n\nenum Color {\n  Red = 1,\n  Green,\n  Blue,\n};"
       "\n\nint main(void) {\n  printf(\"%d\\n\", Green);\n  return 0;\n}\n",
       "c"},
      // A decorated class, and a method whose parameters carry decorators.
      {"import { NgModule } from '@angular/core';\nimport { AppComponent } from "
       "'./app.component';\n\n@NgModule({\n  declarations: [AppComponent],\n"
       "  bootstrap: [AppComponent],\n})\nexport class AppModule {}\n",
       "ts"},
      {"import { Body, Controller, Post } from '@nestjs/common';\n\n"
       "export class CatsController {\n  constructor(svc) {\n    this.svc = svc;\n"
       "  }\n  create(@Body() dto: CreateCatDto) {\n    return this.svc.add(dto);\n"
       "  }\n}\n",
       "ts"},
      // JavaScript's destructured parameters rename with ":" inside braces.
      {"import fs from 'fs';\n\nexport function copy({ from: source, to: target }) {\n"
       "  const data = fs.readFileSync(source);\n  fs.writeFileSync(target, data);\n"
       "}\nexport default copy;\n",
       "js"},
      // Rust's typed bindings name its own primitives and paths.
      {"use std::collections::HashMap;\n\nconst LIMIT: usize = 8;\n\nfn count(words: "
       "&[&str]) -> HashMap<String, usize> {\n    let mut seen: HashMap<String, "
       "usize> = HashMap::new();\n    let n: u32 = 0;\n    seen\n}\n",
       "rs"},
      {"#' Add one\n#' @param x a number\nadd_one <- function(x) {\n  "
       "stopifnot(is.numeric(x))\n  x + 1\n}\n",
       "r"},
      {"-module(demo).\n-export([start/0]).\n\nstart() ->\n    "
       "io:format(\"hi~n\"),\n    ok.\n",
       "erl"},
      {"defmodule Demo do\n  @moduledoc \"Demo.\"\n\n  def hello(name) do\n "
       "   name\n    |> String.upcase()\n  end\nend\n",
       "ex"},
      {"defmodule MyApp.Accounts do\n  alias MyApp.Repo\n  alias "
       "MyApp.Accounts.User\n\n  def get_user!(id), do: Repo.get!(User, id)\n"
       "end\n",
       "ex"},
      {"let rec fact n = if n = 0 then 1 else n * fact (n - 1)\n\nlet () =\n  "
       "print_int (fact 5)\n",
       "ml"},
      {"\t.text\n\t.globl\tmain\n\t.type\tmain, @function\nmain:\n\tmovl\t$0, "
       "%eax\n\tret\n",
       "s"},
      // "fn" is a Pascal variable here, not a Rust function.
      {"procedure OpenConfig;\nbegin\n  fn := ParamStr(1);\n  fn := "
       "ExpandFileName(fn);\n  fn := ChangeFileExt(fn, '.cfg');\n  Assign(f, "
       "fn);\nend;\n",
       "pas"},
      // Assembler run through the C preprocessor.
      {"#include <asm/unistd.h>\n#include \"defs.h\"\n#define ARG1 %rdi\n#ifdef "
       "PIC\n#define CALL call *f@GOTPCREL(%rip)\n#endif\n\t.text\n\t.globl\t"
       "start\nstart:\n\tmovq\t$60, %rax\n\txorl\t%edi, %edi\n\tsyscall\n",
       "s"},
      {"\t.global add\nadd:\n\tadd\tr0, r0, r1\n\tsub\tr2, r2, #1\n\tbx\tlr\n",
       "s"},
      // A makefile whose recipes are shell: the recipes are the makefile's.
      {"install: all\n\tif [ -d $(DESTDIR) ]; then \\\n\t  cp x $(DESTDIR); \\\n"
       "\tfi\n\tfor f in a b; do echo $$f; done\n",
       "mk"},
      {"R_PKGS = base tools utils\nSRC = $(wildcard *.c)\n$(foreach p,$(R_PKGS),"
       "$(eval $(call rule,$(p))))\n",
       "mk"},
      // Doc comments that spell out types do not make JavaScript TypeScript.
      {"/**\n  @param {string} s\n  @type {function (): void} */\nvar show = "
       "function (s) {\n  console.log(s);\n};\n",
       "js"},
      {".a { color: red; }\n.b { margin: 0 }\n#c { display: none; }\n", "css"},
      {"#include <gtest/gtest.h>\n#include \"x.h\"\n\nint main(int argc, char** "
       "argv) {\n  testing::InitGoogleTest(&argc, argv);\n  return "
       "RUN_ALL_TESTS();\n}\n",
       "cpp"},
      {"BEGIN { FS = \":\" }\n$3 > 1000 { n++ }\nEND { print n }\n", "awk"},
      {"function Install-Tool {\n    param(\n        [Parameter(Mandatory)]\n"
       "        [ValidateSet('x64', 'arm64')] $Arch\n    )\n    "
       "$ErrorActionPreference = 'Stop'\n    if (-not $Arch) { exit 1 }\n    "
       "New-Item -ItemType Directory out | Out-Null\n}\n",
       "ps1"},
      {"# Demo\n\n## Install\nRun `make` in the top folder.\n\n## Usage\nSee "
       "[the guide](docs/guide.md).\n",
       "md"},
      // RDoc's "# :nodoc:" ends a Ruby line in a colon; Perl writes elsif too.
      {"module Minitest # :nodoc:\n  class Unit # :nodoc:\n    def self.autorun "
       "# :nodoc:\n      warn \"x\"\n    end\n  end\nend\n",
       "rb"},
      {"if ($x) {\n  print \"a\";\n} elsif ($y) {\n  print \"b\";\n}\nmy $z = "
       "shift;\n",
       "pl"},
      // A "//****" banner opens no block comment that would hide the code.
      {"//****************\n//  Copyright (c) 2013\n//****************\n\n#include "
       "\"w.h\"\nvoid W_Destroy(WH h)\n{\n\tdelete (QWidget *)h;\n}\nint "
       "W_type(WH h)\n{\n\treturn (int) ((QWidget *)h)->devType((Qt::Flags)0);\n}\n",
       "cpp"},
      {"REM Adjust these paths\nSET PATH=C:\\sdk\\tools;%PATH%\n\nadb install "
       "bin\\app.apk\n..\\tools\\sign.exe app\npause\n",
       "bat"},
      {"package org.demo\n\nobject Directions {\n  const val UP = 1\n  const val "
       "DOWN = 2\n}\n",
       "kt"},
      {"#include \"textflag.h\"\n\nTEXT runtime\xC2\xB7" "exit(SB),NOSPLIT,$0-4\n"
       "\tMOVL\tcode+0(FP), DI\n\tMOVL\t$231, AX\n\tSYSCALL\n\tRET\n",
       "s"},
      {"dnl  mpn_add_n\ninclude(`../config.m4')\n\nASM_START()\nPROLOGUE(mpn_add_n)"
       "\n\tadd\tr3, r4, r5\t\tC sum\n\tblr\nEPILOGUE()\n",
       "s"},
      {"module Data.Aeson.Encoding\n    (\n      Encoding\n    , pairs\n    ) "
       "where\n\nimport Data.Text (Text)\nimport qualified Data.Map as M\n",
       "hs"},
      // Pascal's headers: a program, its uses clause and its routines.
      {"program Hello;\n\nuses SysUtils, Classes;\n\nprocedure Greet(const "
       "Name: string);\nbegin\n  WriteLn('Hello ', Name);\nend;\n\nbegin\n  "
       "Greet('you');\nend.\n",
       "pas"},
      {"constructor TList.Create;\nbegin\n  inherited;\nend;\n\ndestructor "
       "TList.Destroy;\nbegin\n  Clear;\nend;\n",
       "pas"},
      // MySQL scripts: statements that end in ";" on their own lines.
      {"SET sql_mode='';\nDROP PROCEDURE IF EXISTS AddColumn;\nDROP PROCEDURE "
       "IF EXISTS DropColumn;\nSET @n = (select count(*) from t);\nPREPARE "
       "stmt FROM @str;\nEXECUTE stmt;\n",
       "sql"},
      // A Go file's package clause may follow its comments and build lines.
      {"// Copyright 2022 The Go Authors.\n\n//go:build linux\n\n/*\nPackage "
       "demo shows things.\n*/\npackage demo\n\nimport \"fmt\"\n\nfunc "
       "Show() {\n\tdefer fmt.Println(\"done\")\n}\n",
       "go"},
      {"      program main\n      implicit none\n      call setup\n      call "
       "solve(n, x)\n      end program main\n",
       "f"},
      {"let describe x =\n  match x with\n  | 0 -> \"zero\"\n  | _ -> \"many\"\n\n"
       "let () = print_string (describe 1)\n",
       "ml"},
      {"case \"$1\" in\n  start) run ;;\n  stop)\n    halt\n    ;;\n  *) exit 1 "
       ";;\nesac\n",
       "sh"},
      // Imports of classes are Kotlin's or Java's; Python imports modules.
      {"import android.app.Fragment\nimport android.util.Log\nimport "
       "org.jetbrains.anko.runOnUiThread\n\nclass StringPrinterFragment : "
       "Fragment() {\n    fun print(s: String): Unit {\n        Log.d(\"x\", "
       "s)\n    }\n}\n",
       "kt"},
      // OCaml interfaces ("val f : t") and modules of top-level lets, which
      // JavaScript and Kotlin spell alike line by line.
      {"open Sexplib0\nval component_of_sexp : Sexp.t -> Uri.component\nval "
       "sexp_of_component : Uri.component -> Sexp.t\ntype t = Uri.t\nval "
       "compare : Uri.t -> Uri.t -> int\n",
       "ml"},
      {"open! Base\ntype t = Caml.out_channel\nlet seek = Caml.seek_out\nlet "
       "pos = Caml.pos_out\nlet stdout = Caml.stdout\ntype 'a with_args =\n  "
       "?binary:bool -> 'a\nlet create file =\n  let flags = [ Open_wronly ] "
       "in\n  match flags with\n  | [] -> None\n  | f :: _ -> Some f\n",
       "ml"},
      // Code in a Markdown document's fences is the document's example.
      {"# csexp\n\nParse S-expressions:\n\n```ocaml\nmodule Sexp = struct type "
       "t = Atom of string end\nmodule Csexp = Csexp.Make (Sexp)\nlet () = "
       "print_endline (Csexp.to_string x)\nlet rec loop n = if n = 0 then 0 "
       "else loop (n - 1)\nlet rec size = function Atom _ -> 1\nlet () = exit "
       "0\nmodule S : sig val x : int end = struct let x = 1 end\nopen Csexp\n"
       "```\n\nSee [the docs](https://example.org).\n",
       "md"},
  };
  expectKinds(kCases, std::size(kCases));
}

TEST(TextClassifierTest, DocumentsAndMarkup) {
  static const Case kCases[] = {
      // A type set in emphasis on a line of its own is no Vim help tag.
      {"WebSocketFrame\n==============\n\n* [Constructor](#constructor)\n* [Properties](#properties)\n\n"
       "Properties\n----------\n\n### fin\n*Boolean*\n\nThe last frame of a message.\n\n"
       "### opcode\n*Number*\n\nThe frame's kind.\n",
       "md"},
      {"# Title\n\nSome text with a [link](https://example.org).\n\n## "
       "Usage\n\n```sh\nmake\n```\n",
       "md"},
      {"# Content Moved\n\nThe documentation moved to the [docs](../docs) "
       "directory.\n",
       "md"},
      // Headings that run straight on into their text, beside links and
      // code spans.
      {"# Demo\nA small tool.\n\n## Install\nRun the "
       "[installer](https://example.org/install) and then `demo --help`.\n\n"
       "## Usage\nSee the [manual](docs/manual.md).\n",
       "md"},
      // Markdown that opens with an HTML block.
      {"<p align=\"center\">\n  <img src=\"logo.png\">\n</p>\n\n## Install\n\n"
       "Run `make`, then see the [guide](docs/guide.md).\n\n## Usage\n\n"
       "```sh\ndemo --help\n```\n",
       "md"},
      {"=====\nNotes\n=====\n\nSee the `docs <https://example.org>`_ "
       "first.\n",
       "rst"},
      {"Title\n=====\n\n.. note::\n\n   Read ``this`` first, see "
       ":ref:`install`.\n\n.. _install:\n",
       "rst"},
      // A paragraph that ends in "::" over an indented literal block.
      {"Usage\n=====\n\nRun it so::\n\n    tool --all\n\nor so::\n\n    "
       "tool -q\n\nor even so::\n\n    tool\n",
       "rst"},
      // An overlined title over one literal block: plain text writes
      // neither a paragraph ending in "::" nor the indented block after it.
      {"=====\nUsage\n=====\n\nTo use demo in a project::\n\n    import "
       "demo\n",
       "rst"},
      // ``Literals`` closed on their line below an underlined title.
      {"Changes\n=======\n\nVersion 1.4\n-----------\n\n* The ``--jobs`` "
       "option takes ``0``.\n* ``demo --version`` names its Python.\n",
       "rst"},
      // The page under front matter names the file; a second YAML document
      // is YAML again.
      {"---\ntitle: Getting started\nweight: 10\n---\n\n# Install\n\nSee the "
       "[downloads](https://example.org/get) page.\n",
       "md"},
      {"+++\ntitle = \"Notes\"\n+++\n\nSome notes on the release.\n", "txt"},
      {"---\nname: web\nreplicas: 2\n---\nname: db\nreplicas: 1\nimage: "
       "[postgres]\n",
       "yaml"},
      {"---\nlayout: default\n---\n<html>\n<body><p>Hi</p></body>\n</html>\n",
       "html"},
      // An HTML comment over prose is no markup document: the prose names
      // the file.
      {"<!--\nThank you for the pull request. Please describe it below.\n"
       "-->\n\nWhat does it change?\n\nResolves #\n",
       "txt"},
      {"<!---\n Licensed under the Apache License, Version 2.0.\n-->\nThe "
       "security page is [here](https://example.org/security.html).\n\nSee "
       "the [guide](docs/guide.md) too.\n",
       "md"},
      {"<!-- generated -->\n<config>\n  <item name=\"a\"/>\n</config>\n",
       "xml"},
      {"=head1 NAME\n\nFoo - does things\n\n=head1 SYNOPSIS\n\n    my $x = "
       "Foo->new;\n    use strict;\n"
       "    my @y = (1);\n\n=cut\n",
       "pod"},
      {".\\\" Manual page\n.TH LS 1 \"2023\" \"coreutils\"\n.SH NAME\nls \\- "
       "list\n",
       "1"},
      {".Dd March 1, 2020\n.Dt MANDOC 7\n.Os\n", "7"},
      // Generated pages define macros, whose bodies are no requests, first.
      {".\\\" generated\n.de1 rstReportMargin\n\\\\$1 \\\\n[an-margin]\nlevel x\n..\n"
       ".TH \"ls\" \"1\" \"2023\"\n.SH NAME\n",
       "1"},
      {"# -*- perl -*-\n\n=head1 NAME\n\nDemo - a manual\n\n=head1 "
       "DESCRIPTION\n\nWords.\n\n=cut\n",
       "pod"},
      {"\\input texinfo\n@setfilename x.info\n", "texi"},
      {"%!PS-Adobe-3.0\n%%Title: x\n", "ps"},
      {"<?xml version=\"1.0\"?>\n<root/>\n", "xml"},
      // Documents whose root element names a kind of their own, past the
      // declaration, comments and the document type.
      {"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n<TS version=\"2.1\" "
       "language=\"de_DE\">\n<context>\n<name>Main</name>\n</context>\n</TS>\n",
       "ts"},
      {"<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource>\n<file>a.png</file>\n"
       "</qresource>\n</RCC>\n",
       "qrc"},
      {"<?xml version=\"1.0\"?>\n<!-- exported -->\n<gpx version=\"1.1\" creator=\"x\">\n"
       "<trk/>\n</gpx>\n",
       "gpx"},
      {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC \"-//Apple//DTD "
       "PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist "
       "version=\"1.0\">\n<dict/>\n</plist>\n",
       "plist"},
      {"<?xml version=\"1.0\"?>\n<xsl:stylesheet version=\"1.0\"\n    "
       "xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n</xsl:stylesheet>\n",
       "xsl"},
      // Feeds and sitemaps are named .xml as often as not; a root element
      // that other formats use too needs its namespace.
      {"<?xml version=\"1.0\"?>\n<rss version=\"2.0\">\n<channel/>\n</rss>\n", "xml"},
      {"<?xml version=\"1.0\"?>\n<package version=\"1.0\">\n<name>x</name>\n</package>\n",
       "xml"},
      {"<?xml version=\"1.0\"?>\n<node>\n<interface name=\"org.example.Demo\"/>\n</node>\n",
       "xml"},
      // Without a declaration the start tag tells, a prefixed one too.
      {"<config>\n  <item name=\"a\"/>\n</config>\n", "xml"},
      {"<xsl:stylesheet version=\"1.0\">\n</xsl:stylesheet>\n", "xml"},
      {"\n  <svg xmlns=\"http://www.w3.org/2000/svg\"></svg>\n", "svg"},
      {"<!DOCTYPE html>\n<html><body></body></html>\n", "html"},
      // A page behind a CGI program's header lines or a template's
      // parameter line is still a page.
      {"Content-type: text/html; charset=UTF-8\n\n<!DOCTYPE HTML PUBLIC "
       "\"-//W3C//DTD HTML 4.01//EN\">\n<HTML><HEAD><TITLE>x</TITLE>\n",
       "html"},
      {"@(title: String)(content: Html)\n\n<!DOCTYPE html>\n<html>\n<head>\n"
       "<title>@title</title>\n",
       "html"},
      {"StartFontMetrics 4.1\nFontName Demo\n", "afm"},
  };
  expectKinds(kCases, std::size(kCases));
}

TEST(TextClassifierTest, StructuredData) {
  static const Case kCases[] = {
      {"{\"name\": \"demo\", \"list\": [1, 2.5e3, true, null], \"nested\": "
       "{\"a\": \"b\"}}\n",
       "json"},
      {"[\n  {\"id\": 1},\n  {\"id\": 2}\n]\n", "json"},
      // JSON handed to a function is JavaScript: a documentation
      // generator's translation catalogue, a JSONP answer.
      {"Documentation.addTranslations({\n    \"locale\": \"mk\",\n    \"messages\": {\n"
       "        \"Contents\": \"\",\n        \"Search\": \"\"\n    },\n    \"plural_expr\": "
       "\"(n % 10 == 1 && n % 100 != 11) ? 0 : 1\"\n});\n",
       "js"},
      {"jsonp_4711([{\"id\": 1}, {\"id\": 2}])\n", "js"},
      // So is JSON given to a variable as only JavaScript writes it: a
      // documentation generator's sidebar, a declared or ended statement.
      {"window.SIDEBAR_ITEMS = {\"enum\":[\"Alignment\",\"Sign\"],\"fn\":[\"format\"]};",
       "js"},
      {"var data = [\n  {\"id\": 1},\n  {\"id\": 2}\n]\n", "js"},
      {"items = {\"a\": [1, 2]};\n", "js"},
      // A bare "name = {...}" is a Python module's as much; "==" compares.
      {"items = {\"a\": [1, 2]}\n", "txt"},
      {"window.SIDEBAR_ITEMS == {\"a\": 1};\n", "txt"},
      // Lua's tables and prose with a call in it are neither.
      {"setup({ name = \"demo\", size = 2 })\n", "txt"},
      {"note({\"a\": 1}) is how the hook is called.\n", "txt"},
      {"--- a/main.c\n+++ b/main.c\n@@ -1,3 +1,4 @@\n int x;\n+int y;\n",
       "diff"},
      {"diff --git a/x b/x\nindex 1..2 100644\n", "diff"},
      // A patch below its description, and git's mail form, stay diffs.
      {"Description: fix the build on arm64\nAuthor: Demo <demo@example.org>\n\n"
       "--- a/main.c\n+++ b/main.c\n@@ -1 +1,2 @@\n int x;\n+int y;\n",
       "diff"},
      {"From 1a2b3c Mon Sep 17 00:00:00 2001\nFrom: Demo <demo@example.org>\nSubject: [PATCH] y\n\n---\n"
       " main.c | 1 +\n\ndiff --git a/main.c b/main.c\nindex 1..2 100644\n--- a/main.c\n+++ b/main.c\n"
       "@@ -1 +1,2 @@\n int x;\n+int y;\n-- \n2.39.5\n",
       "diff"},
      // A patch or a certificate quoted in a document's fence, a string or
      // a here-document leaves the file what it is.
      {"# Changes\n\nThe patch below fixes the build:\n\n```diff\n--- a/main.c\n+++ b/main.c\n"
       "@@ -1 +1,2 @@\n int x;\n+int y;\n```\n\nSee [the issue](https://example.org/1) and "
       "`make check`.\n",
       "md"},
      {"# Demo\n\nInstall the CA first:\n\n```\n-----BEGIN CERTIFICATE-----\nMIIBYTCCAQeg\n"
       "-----END CERTIFICATE-----\n```\n\nThen run `demo --tls` as the [guide](guide.md) says.\n",
       "md"},
      {"import unittest\n\n\ndef test_patch():\n    patch = \"\"\"\\\n--- a/x.py\n+++ b/x.py\n@@ -1 +1 @@\n"
       "-a = 1\n+a = 2\n\"\"\"\n    assert apply(patch)\n",
       "py"},
      {"#!/bin/sh\nset -e\ncat > fix.patch <<'EOF'\n--- a/x.c\n+++ b/x.c\n@@ -1 +1 @@\n-int a;\n+int b;\n"
       "EOF\npatch -p1 < fix.patch\n",
       "sh"},
      {"Certificate:\n    Data: ...\n-----BEGIN "
       "CERTIFICATE-----\nMIIB\n-----END CERTIFICATE-----\n",
       "crt"},
      // A certificate quoted, indented, inside a test or a YAML secret
      // leaves the file what it is.
      {"package demo\n\nclass CertTest {\n  fun pem() = \"\"\"\n      -----BEGIN CERTIFICATE-----\n"
       "      MIIBYTCCAQegAwIBAgIBKjAKBggqhkjOPQQDAjAp\n      -----END CERTIFICATE-----\n"
       "      \"\"\".trimIndent()\n\n  val name: String = \"CN=demo\"\n}\n",
       "kt"},
      {"apiVersion: v1\nkind: Secret\nmetadata:\n  name: demo-tls\nstringData:\n  tls.crt: |\n"
       "    -----BEGIN CERTIFICATE-----\n    MIIBYTCCAQegAwIBAgIBKjAKBggqhkjOPQQDAjAp\n"
       "    -----END CERTIFICATE-----\n",
       "yaml"},
      {"msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain\\n\"\n\nmsgid "
       "\"Open\"\nmsgstr \"Ouvrir\"\n",
       "po"},
      {"[Desktop Entry]\nName=Demo\nExec=demo %F\nType=Application\n",
       "desktop"},
      {"[InternetShortcut]\r\nURL=https://example.org/\r\n", "url"},
      {"[Shell]\r\nCommand=2\r\nIconFile=explorer.exe,3\r\n[Taskbar]\r\nCommand=ToggleDesktop\r\n", "scf"},
      {"; demo.inf\r\n[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Net\r\n[Manufacturer]\r\n"
       "%Mfg%=Models,NTamd64\r\n",
       "inf"},
      {"[version]\nsignature = \"$CHICAGO$\"\n", "inf"},
      // A [Version] section of another program's settings stays INI.
      {"[Version]\nMajor=2\nMinor=1\n[Paths]\nData=/var/lib/demo\n", "ini"},
      {"[DEFAULT]\r\nBASEURL=https://example.org/\r\n[InternetShortcut]\r\n"
       "URL=https://example.org/\r\n",
       "url"},
      {"[Unit]\nDescription=Demo\n\n[Service]\nExecStart=/usr/bin/"
       "demo\n\n[Install]\nWantedBy=multi-user.target\n",
       "service"},
      {"[Unit]\nDescription=Daily demo\n\n[Timer]\nOnCalendar=daily\n",
       "timer"},
      {"[Unit]\nDescription=Demo "
       "socket\n[Socket]\nListenStream=/run/demo.sock\n",
       "socket"},
      {"[Unit]\nDescription=Demo target\nRequires=basic.target\n", "target"},
      {"[package]\nname = \"demo\"\nversion = \"0.1.0\"\nedition = "
       "2021\n\n[dependencies]\nserde = { version = "
       "\"1\" }\n",
       "toml"},
      {"[[bin]]\nname = \"x\"\n", "toml"},
      // Comments after strings, hexadecimal numbers and inf are TOML values.
      {"[server]\nhost = \"example.org\" # the main host\nport = 0x1F90\nlimit "
       "= inf\n",
       "toml"},
      // TOML needs no table header; a multi-line string is one value.
      {"name = \"demo\"\nversion = \"1.0\"\nauthors = [\n  \"Anna\",\n]\n"
       "notes = \"\"\"\nfree text: here\n\"\"\"\n",
       "toml"},
      // Indentation means nothing in TOML: tables indented under a key.
      {"draft = false\n\n  [exec]\n    allow = ['^go$']\n\n  [funcs]\n"
       "    env = ['^HOME$', '^PATH$']\n",
       "toml"},
      // A header with a comment, an array closed on its last item's line,
      // a date and time parted by a blank, quoted and dotted keys.
      {"[build] # how to build\ntargets = [\"a\",\n  \"b\"]\n\n[release]\n"
       "date = 1979-05-27 07:32:00Z\n'quoted key' = 'literal'\nsite.\"x.org\" = "
       "{ on = true, n = 1_000 }\n",
       "toml"},
      // A pair or two suffice where a value is one only TOML writes: an
      // inline table, a date, a time.
      {"point = { x = 1, y = 2 }\n", "toml"},
      {"# first release\nreleased = 1979-05-27T07:32:00Z\n", "toml"},
      {"name = \"alarm\"\nat = 07:32:00\n", "toml"},
      {"; settings\n[general]\nname=demo\npath = "
       "/usr/share/demo\n\n[colors]\nfg=white\n",
       "ini"},
      // A reference link is no section, nor a colon in an address a key.
      {"# Changelog\n\n[PyPI History][1]\n\n[1]: https://pypi.org/project/demo/#history\n\n"
       "## [2.0.0](https://example.com/compare/v1...v2) (2023-11-29)\n\n### Features\n\n"
       "* Add support for Python 3.12 ([#14](https://example.com/issues/14))\n"
       "* Add domain support ([#15](https://example.com/issues/15))\n",
       "md"},
      {"name,size,owner\na.txt,10,root\nb.txt,20,root\nc.txt,30,\"Smith, J\"\n",
       "csv"},
      {"version,codename,created,eol\n1.1,Buzz,1993-08-16\n1.2,Rex,1996-12-12,"
       "1997\n1.3,Bo,1997-06-05,1998\n",
       "csv"},
      {"id\tname\tvalue\n1\ta\t2\n2\tb\t3\n3\tc\t4\n", "tsv"},
      {"---\nname: demo\nsteps:\n  - run: make\n  - run: make check\n", "yaml"},
      // Directives before the first "---".
      {"%YAML 1.2\n%TAG !e! tag:example.com,2000:app/\n---\nname: demo\nsteps:\n"
       "  - run: make\n  - run: make check\n",
       "yaml"},
      // A sequence entry's plain value goes on over deeper lines.
      {"language: c\ngit:\n  depth: 3\nscript:\n  - export SRC=$(pwd)\n  - "
       "if [ \"$X\" = y ];\n    then\n    echo yes;\n    fi\n  - cmake -DA=ON\n"
       "    -DB=OFF\n",
       "yaml"},
      {"network:\n  version: 2\n  ethernets:\n    eth0:\n      dhcp4: true\n",
       "yaml"},
      // A flat mapping counts when a value is written as only YAML writes it.
      {"name: GitHub Document\ndescription: >\n  A template.\ncreate_dir: "
       "false\n",
       "yaml"},
      {"1\n00:00:01,000 --> 00:00:04,000\nHello.\n\n2\n00:00:05,000 --> "
       "00:00:06,500\nBye.\n",
       "srt"},
      {"WEBVTT\n\n00:01.000 --> 00:04.000 align:start\nHello.\n", "vtt"},
      {"Return-Path: <anna@example.org>\nReceived: from mx.example.org\n  by "
       "mail.example.net; Mon, 1 Jan 2024\nFrom: anna@example.org\nSubject: "
       "hi\n\nHello.\n",
       "eml"},
      {"From: anna@example.org\nTo: bob@example.org\nSubject: hello\n\nHi "
       "Bob.\n",
       "eml"},
      // Apple Mail's form: the message's length on a line above it.
      {"412       \nReturn-Path: <anna@example.org>\nFrom: anna@example.org\nSubject: hi\n\n"
       "Hello.\n<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n",
       "emlx"},
      {"2024\nFrom: the board\nSubject: minutes\n\nWe met.\n", "txt"},
      {"WEB\r\n1\r\nhttps://example.org/rates.html\r\n\r\nSelection=EntirePage\r\n", "iqy"},
      {"Web\n2\nthe site went down\n", "txt"},
      {"FROM debian:bookworm\nRUN apt-get update && \\\n    apt-get install -y "
       "make\nCOPY . /src\nWORKDIR /src\nCMD [\"make\"]\n",
       "dockerfile"},
  };
  expectKinds(kCases, std::size(kCases));
}

// Text without a format's grammar must stay plain text; so must fragments
// too short to tell.
TEST(TextClassifierTest, AmbiguousTextStaysPlain) {
  static const Case kCases[] = {
      {"", "txt"},
      {"   \n\n\t\n", "txt"},
      {"hello\n", "txt"},
      {"42\n17\n3.5\n", "txt"},
      {"apples\noranges\npears\nplums\n", "txt"},
      {"The quick brown fox jumps over the lazy dog. It then rests, and the "
       "dog,\n"
       "surprised, does nothing at all. In the end nobody minds, and the day "
       "goes on\n"
       "as days do. Then it rains; the fox goes home and sleeps until "
       "morning.\n",
       "txt"},
      {"Dear team,\n\nplease find the notes below. We meet on Monday at "
       "ten.\n\nThanks,\nAnna\n",
       "txt"},
      {"TODO:\n- buy milk\n- call Bob\n", "txt"},
      // tmux binds keys by name; Tk binds events in angle brackets.
      {"set -g prefix C-a\nunbind C-b\nbind C-a send-prefix\nbind r source-file ~/.tmux.conf\n"
       "bind | split-window -h\nbind - split-window -v\nset -g status-bg red\nset -g mouse on\n",
       "txt"},
      // PostgreSQL's host access table: "local" opens rows of columns, not
      // Lua's declarations, which list names ("local a, b").
      {"# TYPE  DATABASE        USER            ADDRESS                 METHOD\n"
       "local   all             postgres                                peer\n"
       "local   all             all                                     peer\n"
       "host    all             all             127.0.0.1/32            scram-sha-256\n"
       "local   replication     all                                     peer\n",
       "txt"},
      // A parser generator's grammar: its rules are no YAML mappings, for
      // YAML ends a quoted value at its closing quote.
      {"# Grammar for a small language\n\n# Start symbols:\n#\tfile_input is a module;\n"
       "#\teval_input is an expression.\nfile_input: (NEWLINE | stmt)* ENDMARKER\n"
       "eval_input: testlist NEWLINE* ENDMARKER\n\n# Parameters, with their defaults:\n"
       "#   args = arg (',' arg)*\nparameters: '(' [args] ')'\n"
       "args: NAME ['=' test ](',' NAME ['=' test])*\n",
       "txt"},
      // Its "#" comments run on over several lines, as no Markdown heading
      // does; one "](" in a rule is no link.
      {"# Grammar for a small language\n\n# Start symbols:\n#   file_input is a module;\n"
       "#   eval_input is an expression.\nfile_input (NEWLINE | stmt)* ENDMARKER\n"
       "eval_input testlist NEWLINE* ENDMARKER\n\n# Arguments, with their defaults\n"
       "#   args = arg (\",\", arg)*\nargs NAME [\"=\" test ](\",\", NAME [\"=\" test])*\n"
       "# Calls\n# with their arguments\ncall NAME \"(\" args \")\"\n",
       "txt"},
      // Mail-like headers are not a YAML document, and a sender and a
      // subject alone head memos as well as messages.
      {"From: anna@example.org\nSubject: minutes\n\nWe agreed on "
       "Monday.\n",
       "txt"},
      // Two-part lines of prose are not a table.
      {"Yes, indeed\nNo, never\nWell, maybe\n", "txt"},
      {"Test results: 10 passed, 2 failed, 1 skipped\nTime: 3.2s, 1.1s, "
       "0.4s\nMemory: 10MB, 12MB, 9MB\n",
       "txt"},
      // Nor are lines that all open with a comment character.
      {"; CHECK: define i32 @main()\n; CHECK-NEXT: entry:\n; CHECK: ret i32 "
       "0\n",
       "txt"},
      // Capitalised header fields are no YAML mapping, typed values or not.
      {"Package: demo\nVersion: 1.0\nMulti-Arch: \"same\"\n", "txt"},
      // Requirement pins, timings and help text under a "word:" line look
      // like Lua's "~=", Fortran's "real" and a make rule, and are none.
      {"requests~=2.31\nurllib3~=2.0\nidna~=3.4\ncharset-normalizer~=3.2\n",
       "txt"},
      {"run 1\nreal 0m1.204s\nuser 0m0.900s\nsys 0m0.100s\nrun 2\nreal "
       "0m1.198s\nreal 0m1.301s\n",
       "txt"},
      {"Commands:\n\tThe first command opens the file that you name here.\n\tThe "
       "second command closes it again when you are done.\nOptions:\n\tEach "
       "option changes how the commands above treat the file.\n",
       "txt"},
      // A style guide's list of Java import groups is no Python.
      {"Import order:\nimport static (all other imports)\nimport java.*\nimport "
       "javax.*\nimport org.*\nimport com.*\n",
       "txt"},
      // Indented log lines with brackets and commas are no instructions.
      {"Heap\n PSYoungGen      total 187200K, used 5532K [0x7ee5, 0x7fad)\n  "
       "eden space 170304K, 3% used [0x7ee5,0x7eea,0x7f8b)\n  from space "
       "16896K, 0% used [0x7f9c,0x7f9c,0x7fad)\n  to   space 17088K, 0% used "
       "[0x7f8b,0x7f8b,0x7f9c)\n",
       "txt"},
      // Qualified names in a log are no C++ without C around them.
      {"Running main() from gtest_main.cc\n[ RUN ] Foo::Bar\n[ OK ] "
       "Foo::Bar\n[ RUN ] Foo::Baz\n",
       "txt"},
      // A lone comment line or heading is too little.
      {"# notes\n", "txt"},
      {"# notes\n\nbuy milk\n", "txt"},
      // AsciiDoc's "term::" lists are no literal blocks.
      {"OPTIONS\n-------\n--all::\n\tFoo everything.\n\n-q::\n--quiet::\n\tBe "
       "quiet.\n",
       "txt"},
      // Lines of "#" comments are not Markdown headings.
      {"# RUN: %python fail.py\n\n# CHECK: FAIL\n# CHECK: PASS\n", "txt"},
      {"## Settings shared by the\n## build scripts.\n\n## More notes\n## "
       "here.\n",
       "txt"},
      {"{not json at all\n", "txt"},
      {"<<not markup\n", "txt"},
      // A placeholder in angle brackets opens no markup that never closes.
      {"<DRAFT!>\n\t\tHOWTO keys\n\nKeys come in pairs, one public and one "
       "private.\n",
       "txt"},
      // Nor does a link or an address in angle brackets.
      {"<https://example.org/project>\n\nA tool. Use <br/> in templates to "
       "break lines.\n",
       "txt"},
      {"<jane@example.org>\n\nJane wrote the parser; see <b>NOTES</b>.\n",
       "txt"},
      // Titles between rules of "=" or "-" are plain text's way too.
      {"==============\n Coding style\n==============\n\n---------------\n "
       "Tabs\n---------------\n* Tab size : 4\n* Indent : 4\n",
       "txt"},
      // A changelog's bullets with a few words in back quotes.
      {"Changes\n\n* fix `foo` on empty input\n* make `bar` faster\n* drop "
       "support for old compilers\n* **breaking**: rename the option\n",
       "txt"},
      // Sentences that open with verbs SQL also spells.
      {"Update translations.\nDrop support for Python 2.\nSelect the theme "
       "from the menu.\n",
       "txt"},
      // "Name (Company): what they did" is no TypeScript return type.
      {"- Jane Doe (Acme): Added docs\n- Li Wei (Initech): Fixed the build\n",
       "txt"},
      // Wrapped prose: lines that open with "program", "procedure" or
      // "object", or end in "with", are no Pascal, Fortran, Kotlin or OCaml.
      {"This program is free software; you can redistribute it and/or modify\n"
       "it under the terms of the GNU General Public License. This\n"
       "program is distributed in the hope that it will be useful, but the\n"
       "program comes WITHOUT ANY WARRANTY; see the License for details, and\n"
       "procedure to follow for claims.\n",
       "txt"},
      {"Fixes since v1.8.2\n\n * The code to compute the shortest prefix of an\n"
       "   object name did not deal with\n   submodules, and the unique\n"
       "   object name parser stumbled on it with\n   refs that looked like "
       "names, which mixed\n   object names with\n   tag names.\n",
       "txt"},
      // A Go test script: shell-like commands, then the files it works on.
      {"env GO111MODULE=off\n\n# Build with the default flags.\n[short] skip\n"
       "go build -x -n ./override.go\nstderr 'compile'\n\n-- override.go --\n"
       "package main\n\nimport \"C\"\n\nfunc GoFunc() {}\n\nfunc main() {}\n"
       "-- go.mod --\nmodule example.com/m\n",
       "txt"},
      {"go list -mod=readonly -m all\nstdout 'rsc.io/quote'\ngo get "
       "-mod=readonly rsc.io/x\nretract v1.0.0\nretract [v1.1.0, v1.2.0]\n"
       "retract v1.9.0 // bad\n",
       "txt"},
      // Hints alone: "nil" and "-- " lines say too little of Lua.
      {"-- a.txt --\nvalue is nil here\n-- b.txt --\nnil again\n-- c.txt --\n"
       "nil at last\n",
       "txt"},
      // A term list with tab-indented explanations, bullets or file names is
      // no makefile.
      {"add <repository> <ref>::\n\tCreate the subtree by importing its "
       "contents.\n\tA new commit is created.\nmerge <commit>::\n\tMerge "
       "recent changes.\n\tThis keeps local changes.\n",
       "txt"},
      {"actions directory:\n\tarrow_down.png\n\tarrow_up.png\n* Run the "
       "tool with the arguments:\n\t- be quiet.\n\t- turn on DCD.\n", "txt"},
      // Changelog lines of "number: text" and a sentence ending in ":" over
      // bullets are no YAML mappings.
      {"March 2008\n- 0005235: Re: Error in compile error report\nFeb 2008\n"
       "- 0005025: InvokeExternalMethod possible bug\n- 0003016: Re: ranges in "
       "case\n- 0004974: Re: trivial bug\n",
       "txt"},
      {"This example shows the state of the actions\n\n- v1: only Edit "
       "actions\n- v2: File actions and dialogs\n\nExample uses icons from "
       "these sets:\n\n- Silk icon set 1.3\n- Tango Icon Library\n",
       "txt"},
      // Rows of ";"-separated fields, the last ones empty, are no shell case.
      {"# Hangul syllables\nAC00;HANGUL SYLLABLE GA;Lo;0;L;;;;;N;;;;;\nAC01;"
       "HANGUL SYLLABLE GAG;Lo;0;L;;;;;N;;;;;\nAC02;HANGUL SYLLABLE "
       "GAGG;Lo;0;L;;;;;N;;;;;\n",
       "txt"},
      {"# Emoji sources\n24C2;F8BD;;\n3030;F9AE;;\n1F196;F9D4;;\n1F197;F9D5;;\n",
       "txt"},
      // A Debian copyright file: capitalised fields, continuation lines, and
      // a licence text that says "This means:" over a list.
      {"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/"
       "1.0/\nUpstream-Name: demo\n\nFiles: *\nCopyright: 2014, IEEE\n"
       "License: other\n Public Domain\n .\n This means:\n - IEEE does not "
       "assert copyright\n - IEEE does not restrict distribution\n",
       "txt"},
      {"Copyright: 2017,\n\tMarc Stevens\n\tCryptology Group\n\tP.O. Box "
       "94079, Amsterdam\nLicense: MIT\n\t1999-2015 The PHP Group.\n",
       "txt"},
      // An R console transcript and a compiler's numbered listing quote code.
      {"> vec_assert(lgl(), data.frame()):\n\nError: must be a vector.\n\n> "
       "vec_assert(data.frame(x = 1), chr()):\n\nError: must be a vector.\n\n"
       "> x <- data.frame(y = 2)\n",
       "txt"},
      {"error[E0599]: no method named `iter` found\n  --> src/main.rs:7:13\n   "
       "|\n3  | impl Demo for Point {\n4  |     pub fn new() -> Self {\n7  | "
       "    let mut p = &mut q;\n   |             ^^^ not found\n",
       "txt"},
      // "virtual" and "pkg::name" in release notes are no C++.
      {"Changes in 1.8\n\n * toJSON() now handles NULL in lists; see "
       "jsonlite::toJSON.\n * fromJSON() calls base::rawToChar and "
       "jsonlite::parse_json.\n * The virtual machine image is gone; virtual "
       "hosts\n   and virtual memory notes moved to jsonlite::docs.\n",
       "txt"},
      // One name mentioned again and again, a cmdlet-like compound word,
      // zsh's prompt escapes and RDoc's link list are no code.
      {"Version 1.2\n - fromJSON uses JSON.parse semantics for numbers\n - "
       "like JSON.stringify, toJSON drops functions\n - JSON.parse errors "
       "name the line\n",
       "txt"},
      {"5 R Add-On Packages\n\nThe packages (\"R Add-On packages\") are "
       "available for a variety of purposes.\nAPT::Get::Allow-Remove-"
       "Essential \"<BOOL>\";\n",
       "txt"},
      {"PROMPT='%B%n%b@%m> '\nRPROMPT='%F{green}%~%f %T%t'\nPS2='%_%f> '\n"
       "PS4='%N%i> '\n",
       "txt"},
      {"= Rake -- Ruby Make\n\nhome :: https://github.com/ruby/rake\nbugs :: "
       "https://github.com/ruby/rake/issues\ndocs :: "
       "https://ruby.github.io/rake\n",
       "txt"},
      // Haddock's text for Hoogle lists Haskell declarations.
      {"-- Hoogle documentation, generated by Haddock\n-- See Hoogle, "
       "http://www.haskell.org/hoogle/\n\n\n-- | A layout-based value language\n"
       "@package config-value\n@version 0.8.3\n\nmodule Config\ndata Value a\n"
       "Sections :: a -> [Section a] -> Value a\nparse :: Text -> Either ParseError "
       "(Value Position)\npretty :: Value a -> Doc\ninstance GHC.Show.Show a => "
       "GHC.Show.Show (Config.Value a)\n",
       "txt"},
      // An Info manual's menus and synopses look like Markdown.
      {"This is nano.info, produced by makeinfo version 6.7 from nano.texi.\n\n"
       "INFO-DIR-SECTION Editors\nSTART-INFO-DIR-ENTRY\n* nano: (nano).   Small "
       "editor.\nEND-INFO-DIR-ENTRY\n\n\x1f\nFile: nano.info,  Node: Top,  Up: "
       "(dir)\n\nThe GNU nano text editor\n************************\n\n* Menu:"
       "\n\n* Introduction::\n* Invoking::\n* Editor Basics::\n\n\x1f\nFile: "
       "nano.info,  Node: Invoking,  Up: Top\n\n2 Invoking\n**********\n\nA "
       "synopsis:\n\n     nano [OPTION]... [[+LINE[,COLUMN]|+[crCR](/|?)STRING] "
       "FILE]...\n",
       "txt"},
      // Vim help files quote Vim script in their examples; their own tag
      // first, right-aligned tags or a "ft=help" modeline tell them.
      {"*airline.txt*  Lean and mean status line\n\n  let g:airline_theme = "
       "'dark'\n  let g:airline_powerline_fonts = 1\n  let g:airline#"
       "extensions#tabline#enabled = 1\n  autocmd VimEnter * AirlineRefresh\n",
       "txt"},
      {"=========================================================\nALE "
       "Integration                          *ale-latex-options*\n\n"
       "g:ale_latex_chktex_options              *g:ale_latex_chktex_options*\n"
       "  let g:ale_latex_chktex_options = '-I'\n  let g:ale_enabled = 1\n"
       "  let g:ale_fix = 1\n",
       "txt"},
      {"Options\n  let g:foo = 1\n  let g:bar = 2\n  let g:baz = 3\n\n "
       "vim:tw=78:ts=8:ft=help:norl:\n",
       "txt"},
      // Quotations that open lines are no Vim comments.
      {"\" The fonts are free \" says the README, and:\n\" Use them as you "
       "like \" it adds.\n\" Share them \" too.\n",
       "txt"},
      // A GNU ChangeLog names the functions an entry changed: "(name):
      // Likewise." is no return type.
      {"2008-03-18  Jim Meyering  <jim@example.org>\n\n\tRemove support for "
       "pre-C89 systems.\n\t* src/system.h (volatile): Remove, since we assume "
       "C89.\n\t(SEEK_SET, SEEK_CUR): Remove, since we assume C89.\n\t(dup2): "
       "Remove, since we now use dup2.\n\t(struct partition, diag): Remove; now "
       "in diffseq.h.\n\t(print_half_line): Likewise.\n\t(expand_name): New.\n",
       "txt"},
      // A changelog's "- " entries under dates: the bare date lines end
      // any YAML collection, which YAML forbids.
      {"March 2008\n- 0005235: fixed compile error report\n- Power pc "
       "support\nFeb 2008\n- 0005025: InvokeExternalMethod possible bug\n- fix "
       "for casing of dll exports\n\nNovember 2004:\n  - Assign for plugin "
       "collections.\n  - IDE demo changes\n\nOctober 2004:\n  - New "
       "compiletime support functions\n  - getconst/getconstcount\n  - "
       "widestring published properties support.\n\nAugust 2004:\n  - Fix. Var "
       "parameter types were not checked.\n  - fixes for CHAR consts.\n",
       "txt"},
      // Words after a colon that happen to be type names go on as a
      // sentence; a type annotation ends its declaration.
      {"Fixes in this release\n\n  0003033: string results are returned wrong "
       "on FreePascal\n  0003040: string literals lose their quotes\n  Note: "
       "any value above 255 is cut\n  0003051: number formats ignore the "
       "locale\n",
       "txt"},
      // "for each entry:" introduces a list; Python's "for" names what it
      // runs over with "in".
      {"The index is a series of records.\n\nfor each package:\n    name - "
       "offset of its name\n    files - number of files\nfor each file:\n    "
       "name - offset of its name\n    size - its length\nfor each embed:\n    "
       "pattern - offset of the pattern\n",
       "txt"},
      // "#" lines that run straight on into the next line are comments
      // over a test script's commands, or a changelog's version lines
      // over their dates, not Markdown headings.
      {"# Test GOEXPERIMENT variable\n\n# go env shows default empty "
       "GOEXPERIMENT\ngo env\nstdout GOEXPERIMENT=\n\n# go env shows valid "
       "experiments\nenv GOEXPERIMENT=fieldtrack\ngo env GOEXPERIMENT\nstdout "
       "fieldtrack\n\n# go env rejects unknown experiments\nenv "
       "GOEXPERIMENT=bad\n! go env GOEXPERIMENT\nstderr unknown\n",
       "txt"},
      {"#### v0.4.5 ####\nReleased 2022-02-25\n\n- Fixed an issue with the "
       "mapfile backup mechanism.\n- Abandoned the versioning scheme.\n\n#### "
       "v0.4 alpha 4 ####\nReleased 2020-09-01\n\n- Updated to compile on FPC "
       "3.2.0.\n- Zooming is now faster.\n\n#### v0.4 alpha 3 ####\nReleased "
       "2016-07-20\n\n- Renamed logfile to mapfile.\n",
       "txt"},
      // Nor are comments of several "#" lines in a configuration file.
      {"# Time zone configuration file for set \"Australia\"\n\n# The "
       "abbreviations set up by this file are no longer in use,\n# and should "
       "be avoided when possible.  Use this file if you need\n# compatibility "
       "with old applications.\n\n# In order to use this file, you need to set "
       "the parameter\n# timezone_abbreviations to Australia.\n\n# include the "
       "default set\n@INCLUDE Default\n\nACST    34200    # Australian Central "
       "Standard Time\nAEST    36000    # Australian Eastern Standard Time\n",
       "txt"},
      // Option names joined by "-" are no PowerShell cmdlets.
      {"// Remove unused automatically installed kernel-related packages\n"
       "//Unattended-Upgrade::Remove-Unused-Kernel-Packages \"true\";\n\n// Do "
       "automatic removal of newly unused dependencies\n//Unattended-Upgrade::"
       "Remove-New-Unused-Dependencies \"true\";\n\n// Do automatic removal of "
       "unused packages\n//Unattended-Upgrade::Remove-Unused-Dependencies "
       "\"false\";\n",
       "txt"},
      // roff macro packages: requests that read registers ("\n[...]") and
      // open blocks ("\{") are no assembler directives, and the ".." that
      // ends a macro definition is no reStructuredText comment.
      {".\\\" Print the symbols\n.if \\n[doc-arg-limit] \\{\\\n.  nr "
       "doc-arg-ptr 0\n.\\}\n.if (\\n[doc-arg-limit] > \\n[doc-arg-ptr]) "
       "\\{\\\n.  ds doc-str \\*[doc-Sy-font]\n.\\}\n.if \\n[.$] \\{\\\n.  ds "
       "doc-macro-name Sy\n.\\}\n",
       "txt"},
      {".\\\" Common macros\n.de doc-common-setup\n.  if \\n[doc-arg-limit] "
       "\\{\\\n.    nr doc-arg-ptr 0\n.  \\}\n..\n.de doc-syms\n.  if \\n[.$] "
       "\\{\\\n.    ds doc-macro-name Sy\n.  \\}\n..\n.de doc-end\n.  if "
       "\\n[doc-num-args] \\{\\\n.    nr doc-num-args 0\n.  \\}\n..\n",
       "txt"},
      // XKB keymaps alias key codes, not Elixir modules.
      {"default xkb_keycodes \"evdev\" {\n    minimum = 8;\n    maximum = "
       "255;\n    <ESC> = 9;\n    <AE01> = 10;\n};\nalias <AC12> = <BKSL>;\n"
       "alias <MENU> = <COMP>;\nalias <HZTG> = <TLDE>;\nalias <LMTA> = "
       "<LWIN>;\nalias <RMTA> = <RWIN>;\n",
       "txt"},
      // Verb-Noun names in quotes or mid-sentence are mentioned, not
      // called: a cmdlet starts a statement or a pipeline stage.
      {"jar {\n    manifest {\n        instruction 'Import-Package', '*'\n"
       "        instruction 'Export-Package', '*'\n        instruction "
       "'Bundle-Vendor', 'Example'\n    }\n}\n\n_arguments \\\n  '-cookies["
       "toggles handling of Set-Cookie headers (on)]' \\\n  "
       "'-accept_all_cookies[accept cookies if Set-Cookie handling is on "
       "(off)]' \\\n  '-trace[turns on Lynx trace mode]'\n",
       "txt"},
      // What a command printed in a shell session, down to the next blank
      // line, is the session's, not the document's.
      {"These binaries were generated by:\n\n$ cat empty.s\n.global "
       "_start\n_start:\n.text\n.globl main\n.type main, @function\n$ as --32 "
       "-o empty.o empty.s && ld -m elf_i386 -o test32 empty.o\n$ as --64 -o "
       "empty.o empty.s && ld -o test64 empty.o\n",
       "txt"},
      // Documentation quotes a Python session indented under its prose.
      {"Quickstart\n\nParse a document:\n\n   >>> from foo import parse\n   "
       ">>> doc = parse(text)\n   >>> dumps(doc)\n   \"\"\"[table]\n   a = "
       "1\n   \"\"\"\n   >>> dumps(other)\n   \"\"\"[other]\n   \"\"\"\n",
       "txt"},
  };
  expectKinds(kCases, std::size(kCases));
}

TEST(TextClassifierTest, MoreSpecificKindWinsOverItsFamily) {
  // C preprocessor lines alone say C; one C++-only construct tips it.
  EXPECT_EQ(classifyText("#include <stdlib.h>\n#define N 3\nstatic int a[N];\n",
                         "ASCII text")
                .extension,
            "c");
  EXPECT_EQ(classifyText("#include <stdlib.h>\n#define N 3\nstatic int "
                         "a[N];\nstd::string s;\n",
                         "ASCII text")
                .extension,
            "cpp");
  // POD examples inside documentation are not the file's own Perl code.
  EXPECT_EQ(classifyText("=head1 NAME\n\nFoo\n\n=head1 EXAMPLE\n\n    use "
                         "strict;\n    my $x = 1;\n    my @y;\n"
                         "    my %z;\n\n=cut\n",
                         "ASCII text")
                .extension,
            "pod");
}

// C++ accepts nearly all of C: a file is C++ only when syntax C lacks
// appears in its own code, not in comments or in "#ifdef __cplusplus"
// branches that C headers and sources keep for C++ callers.
TEST(TextClassifierTest, CFamilyIsCUnlessCppOnlySyntaxAppears) {
  static const Case kCases[] = {
      // "if(" opening a block or ending in ";" is C's, not a CMake command.
      {"#include \"lapacke_utils.h\"\n\nlapack_int LAPACKE_work( int layout, "
       "lapack_int m )\n{\n    lapack_int info = 0;\n    if( layout == "
       "LAPACK_COL_MAJOR ) {\n        info = 1;\n    } else if( layout == "
       "LAPACK_ROW_MAJOR ) {\n        info = 2;\n    }\n    if( info < 0 ) info "
       "= info - 1;\n    if( m > 0 ) {\n        info = 0;\n    }\n    return "
       "info;\n}\n",
       "c"},
      // C's "goto label;" is no batch file's jump.
      {"#include <config.h>\n#include \"unistr.h\"\n\nuint16_t *\nu16_strchr "
       "(const uint16_t *s, ucs4_t uc)\n{\n  uint16_t c0 = uc;\n  if (c0 == "
       "uc)\n    goto found;\n  for (;; s++)\n    {\n      if (*s == 0)\n        "
       "goto notfound;\n      if (*s == c0)\n        goto found;\n    }\n "
       "found:\n  return (uint16_t *) s;\n notfound:\n  return NULL;\n}\n",
       "c"},
      // "class X {" without C's grammar is no C++: Java nests classes so.
      {"package org.apache.commons.lang3;\n\nimport static "
       "org.junit.jupiter.api.Assertions.assertThrows;\n\nclass ValidateTest {\n"
       "    @Nested\n    class IsTrue {\n        @Nested\n        class "
       "WithoutMessage {\n            @Test\n            void "
       "shouldReturnTheSameInstance() {\n                final Object[] array = "
       "new Object[] {\"a\"};\n                final Object other = new "
       "Object();\n                assertSame(array, "
       "Validate.notEmpty(array));\n            }\n        }\n    }\n}\n",
       "java"},
      // C that also builds as C++: the C++ side sits in guarded branches.
      {"#include <mpi.h>\n#ifdef __cplusplus\n#  include <cstdio>\n#else\n#  "
       "include <stdio.h>\n#endif\n\nint main(int argc, char *argv[])\n{\n"
       "#ifdef __cplusplus\n  std::puts(\"x\");\n#else\n  puts(\"x\");\n"
       "#endif\n  return 0;\n}\n",
       "c"},
      {"#ifndef DEMO_H\n#define DEMO_H\n#if defined(__cplusplus)\nextern \"C\" "
       "{\nnamespace demo_detail {\n}\n#endif\ntypedef struct demo demo_t;\n"
       "extern int demo_size(const demo_t *d);\n#ifdef __cplusplus\n}\n"
       "#endif\n#endif\n",
       "c"},
      // "virtual" and "template <" in comments are words, not C++.
      {"/* Maps virtual memory for the pager.\n * A template <name> file "
       "lists\n * the virtual pages. */\n#include <sys/mman.h>\n#include "
       "<stddef.h>\n\nstatic void *map_pages(size_t n)\n{\n  return "
       "mmap(NULL, n, PROT_READ, MAP_PRIVATE, -1, 0);\n}\n// virtual\n",
       "c"},
      // Obfuscated C: no line breaks where a reader expects them, but a
      // pointer declaration and the C library are there.
      {"char*s,b[64];main(n){for(scanf(\"%d\",&n);n--;)printf(\"%s\\n\",s=b)"
       ";}\n",
       "c"},
      {"int *copy(const int *v, size_t n)\n{\n  int *out = malloc(n * sizeof "
       "*out);\n  memcpy(out, v, n * sizeof *out);\n  return out;\n}\n",
       "c"},
      // A file that refuses C compilers.
      {"#ifndef __cplusplus\n#  error \"needs a C++ compiler\"\n#endif\n\n"
       "#include \"abi.h\"\n\nint main(int argc, char *argv[])\n{\n  (void)"
       "argv;\n  return argc;\n}\n",
       "cpp"},
      {"#include \"shape.h\"\n#include <string.h>\n\nstatic int "
       "area(const Shape& s, const Point &at)\n{\n  return s.w * s.h;\n}"
       "\n",
       "cpp"},
      {"#include \"buffer.h\"\n#include <stdlib.h>\n\nvoid release(char *p)\n"
       "{\n  delete[] p;\n}\n",
       "cpp"},
      {"#include \"gtest/gtest.h\"\n\nTEST(Filter, Fails) {\n  "
       "ASSERT_TRUE(false) << \"never runs\";\n}\n",
       "cpp"},
      {"#include <stdio.h>\n#define N 4\n\nclass Grid {\n  int cells[N];\n};"
       "\n",
       "cpp"},
      // C allows blanks between '#' and the directive.
      {"#  include <cstdio>\n#  include <stdlib.h>\n#define N 3\nstatic int "
       "a[N];\n",
       "cpp"},
  };
  expectKinds(kCases, std::size(kCases));
}

// Prose that shows a few tokens of a format, in quotes, examples or plain
// text habits, stays text.
TEST(TextClassifierTest, FormatTokensInProseStayPlain) {
  static const Case kCases[] = {
      // A history note quoting a LaTeX example, every TeX line indented.
      {"This font family is released under a free licence.\n\nVer 2.0:\n* "
       "a new weight\n  To use it, write:\n\n     \\documentclass{article}\n"
       "     \\usepackage[T1]{fontenc}\n     \\usepackage{demo}\n     "
       "\\begin{document}\n     Text.\n     \\end{document}\n\nThanks to "
       "all testers.\n",
       "txt"},
      // Release notes: underlined titles and bullets are plain-text habits.
      {"Demo v1.2 Release Notes\n=======================\n\nUpdates since "
       "v1.1\n------------------\n\n* New commands and options.\n\n  - \"demo "
       "log\" takes --reverse.\n\n* Fixes.\n\n  - \"demo push\" no longer "
       "hangs.\n\n* Documentation.\n\n- Typos were fixed.\n- The FAQ grew."
       "\n\nFixes since v1.1\n----------------\n\n* None.\n",
       "txt"},
      // ``Double back quotes'' are TeX-style quoting in plain text too.
      {"``FAST``\n  Some linkers make one pass only.  With the ``FAST``\n  "
       "feature the ``--start-group`` option is passed.\n\n  It costs "
       "time.\n",
       "txt"},
      // Below an underlined title, ``quotes'' still close with apostrophes.
      {"Changes\n=======\n\n* ``Quoted'' words stay quotes.\n* So do "
       "``these''.\n* And ``those''.\n",
       "txt"},
      // One C-looking line among sentences is too little.
      {"Notes on the build:\n#include <config.h> must come first.\nThen run "
       "make and wait.\n",
       "txt"},
  };
  expectKinds(kCases, std::size(kCases));
}

// Markup kinds still win on constructs of their own.
TEST(TextClassifierTest, MarkupNeedsItsOwnConstructs) {
  static const Case kCases[] = {
      // Prose or code before a page quotes it; the page names nothing.
      {"Save this as page.html and open it:\n\n<!DOCTYPE html>\n<html>"
       "<body>Hi</body></html>\n",
       "txt"},
      // Code spans, titles and bullets are what plain text writes too; a
      // link or a fenced block beside them is Markdown's own.
      {"Testing\n=======\n\nShort tests\n-----------\n- `tests/play.sh` on "
       "x86_64\n- Small tests (`tests/a.c`, `tests/b.c`)\n- The `make "
       "check` target\n",
       "txt"},
      {"Testing\n=======\n\nShort tests\n-----------\n- `tests/play.sh` on "
       "x86_64\n- See [the guide](docs/guide.md)\n\n```\nmake check\n```\n",
       "md"},
      // Markdown conformance tests, each case and its HTML after a lone ".",
      // are test data; one such block in a document that quotes it is not.
      {"# Emphasis\n\nThese cases check *emphasis* and `code`.\n"
       "\n```````````````` example\n*foo*\n.\n<p><em>foo</em></p>\n"
       "````````````````\n\n```````````````` example\n"
       "**bar**\n.\n<p><strong>bar</strong></p>\n````````````````\n",
       "txt"},
      {"# Emphasis\n\nThe tests pair each case with its HTML, see [the "
       "guide](guide.md):\n\n```````````````` example\n"
       "*foo*\n.\n<p><em>foo</em></p>\n````````````````\n"
       "\nRun `make test` to check them.\n",
       "md"},
      // Markdown's reference links, which reStructuredText has no form of,
      // outweigh the ``code`` both write.
      {"demo\n====\nThis module provides a ``demo()`` function which returns the\n"
       "value of a clock that never goes backwards.\n\nOn Python 3.3 or newer, ``demo`` is an "
       "alias of\n[``time.monotonic``][0] from the standard library; elsewhere it calls\n"
       "[clock_gettime][1] (Linux, BSD) or\n[GetTickCount64][2] (Windows).\n\nLicense\n"
       "-------\nSee ``LICENSE``.\n\n[0]: https://docs.python.org/3/library/time.html\n"
       "[1]: https://man7.org/linux/man-pages/man2/clock_gettime.2.html\n"
       "[2]: https://learn.microsoft.com/windows/win32/api/sysinfoapi/\n",
       "md"},
      // Code indexes twice after a name; a table's rows do after a blank.
      {"for i in range(n):\n    grid[row][col] = 0\n    m[i][j] += 1\n    "
       "t[x][y] = t[y][x]\n",
       "txt"},
      // TeX at the margin, even where definitions are indented.
      {"% Demo macros\n\\catcode`\\@=11\n\\def\\demo@a{%\n  \\relax\n  "
       "\\expandafter\\demo@b\n}\n",
       "tex"},
  };
  expectKinds(kCases, std::size(kCases));
}

// "name = value" lines of other languages do not read as TOML throughout:
// a Python module's last line computes a value, a Lua table spreads over
// lines with a comma after its last field, INI values go unquoted.
TEST(TextClassifierTest, TomlNeedsItsWholeGrammar) {
  static const std::string_view kTexts[] = {
      "__title__ = \"demo\"\n__version__ = \"1.0\"\n__author__ = \"Anna\"\n"
      "__copyright__ = \"2024 %s\" % __author__\n",
      "package = \"demo\"\nversion = \"1.0-1\"\nsource = {\n  url = \"git://x\",\n}\n"
      "build = {\n  type = \"builtin\",\n}\n",
      "[core]\n\trepositoryformatversion = 0\n\tbare = false\n[remote \"origin\"]\n"
      "\turl = \"https://example.org/x.git\"\n",
      // Plain numbers and a Python dictionary are no TOML of their own.
      "answer = 42\n",
      "settings = {\"debug\": True}\n",
  };
  for (std::string_view text : kTexts) {
    SCOPED_TRACE(testing::PrintToString(text));
    EXPECT_NE(classifyText(text, "ASCII text").extension, "toml");
  }
}

TEST(TextClassifierTest, LibmagicHintsAreUsed) {
  EXPECT_EQ(classifyText("a;b\n1;2\n", "CSV text").extension, "csv");
  EXPECT_EQ(classifyText("{\"a\":", "JSON text data").extension, "json");
}

TEST(TextClassifierTest, ByteOrderMarkAndLineEndingsAreIgnored) {
  EXPECT_EQ(classifyText("\xEF\xBB\xBF#!/bin/sh\r\necho hi\r\n", "ASCII text")
                .extension,
            "sh");
  EXPECT_EQ(classifyText("[Desktop Entry]\r\nName=x\r\nType=Application\r\n",
                         "ASCII text, with CRLF line terminators")
                .extension,
            "desktop");
}

TEST(TextClassifierTest, TruncatedJsonCountsOnlyWhenLong) {
  // The engine passes the first bytes of a file: a long document cut in the
  // middle is still JSON, a short broken one is not.
  std::string long_json = "{\"items\": [";
  while (long_json.size() < 8000) {
    long_json += "{\"id\": 12345, \"name\": \"some item\"}, ";
  }
  EXPECT_EQ(
      classifyText(long_json, "ASCII text, with very long lines").extension,
      "json");
  EXPECT_EQ(classifyText("{\"items\": [1, 2", "ASCII text").extension, "txt");
  EXPECT_EQ(classifyText("Search.setIndex(" + long_json, "ASCII text, with very long lines").extension,
            "js");
  EXPECT_EQ(classifyText("cb({\"items\": [1, 2", "ASCII text").extension, "txt");
}

TEST(TextClassifierTest, KeywordsCutShortDoNotThrow) {
  // Lines that end right after a keyword, as a cut-off head does; "package "
  // once made a substr run past the trimmed line's end.
  static const std::string_view kLines[] = {
      "package ", "package", "import ",   "include ", "def ",   "local ",
      ".TH ",     ".TH",     "- ",        "-",        "[",      "]",
      "#!",       "#! ",     "-*-",       "-*- -*-",  "msgid ", "key:",
      ": ",       "=",       "\"",        "{\"",      "[[",     ".. ",
      "%",        "% ",      "function ", "var x =",  "x:y(",   "<",
      "<?xml",    "\\",      "::",        "a::b(",    "\t",     "\t:",
      "BEGIN"};
  for (std::string_view line : kLines) {
    SCOPED_TRACE(testing::PrintToString(line));
    for (std::string text :
         {std::string(line), std::string(line) + "\n",
          "x\n" + std::string(line), std::string(line) + " \n"}) {
      EXPECT_NO_THROW(classifyText(text, "ASCII text"));
    }
  }
}

TEST(TextClassifierTest, LongInputStaysBounded) {
  // A single huge line (minified code) and many short lines must both finish
  // and give an answer; the classifier reads a bounded prefix.
  std::string minified(200000, 'a');
  EXPECT_EQ(
      classifyText(minified, "ASCII text, with very long lines").extension,
      "txt");
  std::string many;
  for (int i = 0; i < 50000; ++i) {
    many += "x\n";
  }
  EXPECT_EQ(classifyText(many, "ASCII text").extension, "txt");
}

}  // namespace
}  // namespace ident
