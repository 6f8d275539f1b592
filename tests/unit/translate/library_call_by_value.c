void vrel__main() {
int vrel__x;
byte vrel__b;
vrel__writeInteger(vrel__x + 1 );
vrel__writeByte(vrel__b );
vrel__writeChar('z');

}
int main() {
	vrel__main();
}


