void vrel__main() {
vrel__writeString("a\\b");
vrel__writeChar('|');
vrel__writeChar('\\');
vrel__writeChar('|');
vrel__writeInteger(vrel__strlen("x\0001") );
vrel__writeChar('|');
vrel__writeInteger(vrel__strlen("ab\08") );
vrel__writeChar('|');
vrel__writeString("\\x41");
vrel__writeChar('|');
vrel__writeChar('\'');
vrel__writeChar('\"');

}
int main() {
	vrel__main();
}


