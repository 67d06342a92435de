@echo off
rem Install command for Intune and ConfigMgr: copies telo-cli.exe from the
rem package into Program Files\telo (where detect.ps1 looks for it), runs it
rem there as SYSTEM on every fixed drive and leaves the JSON result in the
rem results folder as <computer>.json. Exits with telo-cli's exit code, or 1
rem when the copy fails. The results folder: the first argument, else
rem TELO_RESULTS from the environment, else the default below.
setlocal
if not defined TELO_RESULTS set "TELO_RESULTS=\\server\telo-results$"
if not "%~1"=="" set "TELO_RESULTS=%~1"

rem The 64-bit Program Files even from a 32-bit cmd.exe, as detect.ps1 uses.
set "TELO_HOME=%ProgramFiles%\telo"
if defined ProgramW6432 set "TELO_HOME=%ProgramW6432%\telo"

if not exist "%TELO_HOME%\" mkdir "%TELO_HOME%"
copy /y "%~dp0telo-cli.exe" "%TELO_HOME%\telo-cli.exe" >nul
if errorlevel 1 goto copy_failed
"%TELO_HOME%\telo-cli.exe" --drive auto --yes --result-file "%TELO_RESULTS%\%COMPUTERNAME%.json"
exit /b %ERRORLEVEL%

:copy_failed
echo telo: could not copy "%~dp0telo-cli.exe" to "%TELO_HOME%": the package needs telo-cli.exe beside install.cmd. 1>&2
exit /b 1
