void vrel__main() {
vrel__nowhere [0 ] = 1 ;

}
int main() {
	vrel__main();
}


