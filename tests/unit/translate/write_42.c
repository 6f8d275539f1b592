void vrel__main() {
vrel__writeInteger(42 );

}
int main() {
	vrel__main();
}


