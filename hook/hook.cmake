# kibolt.dll: built by the hook library work.
